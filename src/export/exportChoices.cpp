#include "exportChoices.h"

#include "iniFile.h"

#include <QColor>

namespace vistrel {

namespace {

const QString Section = QStringLiteral("ExportAnimation");

int ReadInRange(const TIniFile& ini, const QString& key, int low, int high, int fallback) {
    const int value = ini.ReadInteger(Section, key, fallback);
    return value >= low && value <= high ? value : fallback;
}

QRgb ReadColour(const TIniFile& ini, const QString& key, QRgb fallback) {
    QRgb colour = fallback;
    return TExportChoices::ParseColour(ini.ReadString(Section, key, QString()), colour) ? colour
                                                                                        : fallback;
}

} // namespace

QString TExportChoices::ColourText(QRgb colour) {
    return QColor(colour).name(QColor::HexRgb);
}

bool TExportChoices::ParseColour(const QString& text, QRgb& colour) {
    const QColor parsed = QColor::fromString(text.trimmed());
    if (!parsed.isValid())
        return false;
    colour = parsed.rgb();
    return true;
}

TExportChoices TExportChoices::Load(const TIniFile& ini) {
    TExportChoices choices;
    choices.Format = static_cast<TExportFormat>(ReadInRange(ini, QStringLiteral("Format"), 0,
                                                            static_cast<int>(TExportFormat::Binary),
                                                            static_cast<int>(choices.Format)));
    choices.Scale = ReadInRange(ini, QStringLiteral("Scale"), TExportOptions::MinScale,
                                TExportOptions::MaxScale, choices.Scale);
    choices.Colours.Lit = ReadColour(ini, QStringLiteral("LitColour"), choices.Colours.Lit);
    choices.Colours.Unlit = ReadColour(ini, QStringLiteral("UnlitColour"), choices.Colours.Unlit);
    choices.Columns = ReadInRange(ini, QStringLiteral("Columns"), 0, MaxColumns, choices.Columns);
    choices.Folder = ini.ReadString(Section, QStringLiteral("Folder"), QString());
    choices.Rotate180 = ini.ReadBool(Section, QStringLiteral("Rotate180"), choices.Rotate180);
    choices.DurationTable =
        ini.ReadBool(Section, QStringLiteral("DurationTable"), choices.DurationTable);
    return choices;
}

void TExportChoices::Save(TIniFile& ini) const {
    ini.WriteInteger(Section, QStringLiteral("Format"), static_cast<int>(Format));
    ini.WriteInteger(Section, QStringLiteral("Scale"), Scale);
    ini.WriteString(Section, QStringLiteral("LitColour"), ColourText(Colours.Lit));
    ini.WriteString(Section, QStringLiteral("UnlitColour"), ColourText(Colours.Unlit));
    ini.WriteInteger(Section, QStringLiteral("Columns"), Columns);
    ini.WriteString(Section, QStringLiteral("Folder"), Folder);
    ini.WriteBool(Section, QStringLiteral("Rotate180"), Rotate180);
    ini.WriteBool(Section, QStringLiteral("DurationTable"), DurationTable);
}

} // namespace vistrel
