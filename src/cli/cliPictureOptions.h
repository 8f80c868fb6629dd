#pragma once

#include <QPoint>
#include <QString>
#include <iosfwd>
#include <optional>

namespace vistrel::cli {

// How a picture becomes a frame, as import and import-animation take it:
// --scale fit|PERCENT, --method fs|bayer|quant, --threshold T, --window X,Y.
struct TPictureOptions {
    int Scale = 100;
    int Method = 0; // TImportFrame::FloydSteinberg
    int Threshold = 128;
    std::optional<QPoint> Window;
};

bool IsPictureOption(const QString& option);
// Reads one of the options above with its value; false (said on err, in the
// Import page's own words where it has them) for a value it does not take.
bool ParsePictureOption(const QString& option, const QString& value, TPictureOptions& options,
                        std::ostream& err);

} // namespace vistrel::cli
