#pragma once

#include "unitAnimationExport.h"
#include "unitFrame.h"

#include <QString>

namespace vistrel {

class TIniFile;

// The export dialog's last choices, kept in the INI file under a section of
// their own so that the next export starts where the last one ended.
struct TExportChoices {
    static constexpr int MaxColumns = MaxDocumentFrames;

    TExportFormat Format = TExportFormat::Gif;
    int Scale = 4;
    TExportColours Colours = BlackOnWhite;
    int Columns = 0;
    bool Rotate180 = false;     // every frame turned, for a card seated in a controller
    bool DurationTable = false; // a binary gets NAME.txt beside it with the durations
    QString Folder;             // where the last export went; empty before the first

    // Values that are missing, no number or out of range give the defaults.
    static TExportChoices Load(const TIniFile& ini);
    void Save(TIniFile& ini) const;

    // "#rrggbb" for the INI file and the command line; ParseColour also takes
    // Qt's colour names. False when the text names no colour.
    static QString ColourText(QRgb colour);
    static bool ParseColour(const QString& text, QRgb& colour);
};

} // namespace vistrel
