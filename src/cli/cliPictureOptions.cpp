#include "cliPictureOptions.h"

#include "cliCommands.h"
#include "unitImportFrame.h"

#include <QStringList>
#include <ostream>

namespace vistrel::cli {

namespace {

// The messages are the Import page's own for the same mistakes.
std::optional<int> ParseScale(QString text, std::ostream& err) {
    if (text.compare(QLatin1String("fit"), Qt::CaseInsensitive) == 0)
        return TImportFrame::ScaleToFit;
    bool isNumber = false;
    const int scale = text.remove(QLatin1Char('%')).toInt(&isNumber);
    if (isNumber && scale >= 1 && scale <= 100)
        return scale;
    err << "Invalid scale factor - must be between 1% and 100%.\n";
    return std::nullopt;
}

std::optional<int> ParseThreshold(const QString& text, std::ostream& err) {
    bool isNumber = false;
    const int threshold = text.toInt(&isNumber);
    if (isNumber && threshold >= 0 && threshold <= 255)
        return threshold;
    err << "Invalid threshold value - must be between 0 and 255.\n";
    return std::nullopt;
}

std::optional<int> ParseMethod(const QString& text, std::ostream& err) {
    if (text == QLatin1String("fs"))
        return TImportFrame::FloydSteinberg;
    if (text == QLatin1String("bayer"))
        return TImportFrame::Bayer;
    if (text == QLatin1String("quant"))
        return TImportFrame::Quantization;
    err << "Unknown dither method: " << Local(text) << " (fs, bayer or quant)\n";
    return std::nullopt;
}

std::optional<QPoint> ParseWindow(const QString& text, std::ostream& err) {
    const QStringList parts = text.split(QLatin1Char(','));
    bool xIsNumber = false;
    bool yIsNumber = false;
    if (parts.size() == 2) {
        const int x = parts[0].trimmed().toInt(&xIsNumber);
        const int y = parts[1].trimmed().toInt(&yIsNumber);
        if (xIsNumber && yIsNumber)
            return QPoint(x, y);
    }
    err << "Invalid window position: " << Local(text) << " (X,Y in pixels of the scaled picture)\n";
    return std::nullopt;
}

} // namespace

bool IsPictureOption(const QString& option) {
    return option == QLatin1String("--scale") || option == QLatin1String("--method") ||
           option == QLatin1String("--threshold") || option == QLatin1String("--window");
}

bool ParsePictureOption(const QString& option, const QString& value, TPictureOptions& options,
                        std::ostream& err) {
    if (option == QLatin1String("--scale")) {
        const auto scale = ParseScale(value, err);
        if (scale)
            options.Scale = *scale;
        return scale.has_value();
    }
    if (option == QLatin1String("--method")) {
        const auto method = ParseMethod(value, err);
        if (method)
            options.Method = *method;
        return method.has_value();
    }
    if (option == QLatin1String("--threshold")) {
        const auto threshold = ParseThreshold(value, err);
        if (threshold)
            options.Threshold = *threshold;
        return threshold.has_value();
    }
    options.Window = ParseWindow(value, err);
    return options.Window.has_value();
}

} // namespace vistrel::cli
