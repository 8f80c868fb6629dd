#include "unitPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vistrel {

namespace {

const QString MainSection = QStringLiteral("Main");
const QString SavedSection = QStringLiteral("Saved");
const QString OpenedSection = QStringLiteral("Opened");
// A section of its own, so that the keys of Main stay exactly those every
// reader of the file knows.
const QString OnionSkinSection = QStringLiteral("OnionSkin");
constexpr qsizetype MaxNameLength = 255;

QStringList ReadNames(const TIniFile& ini, const QString& section) {
    QStringList names;
    for (const QString& line : ini.ReadSectionValues(section)) {
        const QString value = line.mid(line.indexOf(u'=') + 1).left(MaxNameLength);
        names << value.trimmed();
    }
    return names;
}

void WriteNames(TIniFile& ini, const QString& section, const QStringList& names, int limit) {
    ini.EraseSection(section);
    for (int i = 0; i < std::min<int>(limit, static_cast<int>(names.size())); ++i)
        ini.WriteString(section, QStringLiteral("File_%1").arg(i), names[i]);
}

int ReadFrameCount(const TIniFile& ini, const QString& key, int fallback) {
    const int value = ini.ReadInteger(OnionSkinSection, key, fallback);
    return value >= 0 && value <= TVMUPreferences::MaxOnionSkinFrames ? value : fallback;
}

void RemoveName(QStringList& list, const QString& name) {
    list.removeIf(
        [&](const QString& item) { return item.compare(name, Qt::CaseInsensitive) == 0; });
}

} // namespace

TVMUPreferences::TVMUPreferences(const QString& iniPath, QSize screenSize) : m_iniFile(iniPath) {
    m_iniFile.Load();
    Load(screenSize);
}

void TVMUPreferences::Load(QSize screenSize) {
    const TIniFile& ini = m_iniFile;
    RegisterLCD = ini.ReadBool(MainSection, QStringLiteral("RegisterLCD"), true);
    RegisterVMS = ini.ReadBool(MainSection, QStringLiteral("RegisterVMS"), true);
    DisplayGrid = ini.ReadBool(MainSection, QStringLiteral("DisplayGrid"), false);
    PlayerFPS = ini.ReadInteger(MainSection, QStringLiteral("PlayerFPS"), DefaultPlayerFPS);
    LoopSelect = ini.ReadBool(MainSection, QStringLiteral("LoopSelect"), false);
    PlayerZoom = ini.ReadInteger(MainSection, QStringLiteral("PlayerZoom"), 2);
    ShowLCDBlur = ini.ReadBool(MainSection, QStringLiteral("ShowLCDBlur"), true);
    WindowLeft =
        ini.ReadInteger(MainSection, QStringLiteral("WindowLeft"), (screenSize.width() - 640) / 2);
    WindowTop =
        ini.ReadInteger(MainSection, QStringLiteral("WindowTop"), (screenSize.height() - 480) / 2);
    WindowWidth = ini.ReadInteger(MainSection, QStringLiteral("WindowWidth"), 640);
    WindowHeight = ini.ReadInteger(MainSection, QStringLiteral("WindowHeight"), 480);
    OnionSkin = ini.ReadBool(OnionSkinSection, QStringLiteral("Shown"), false);
    OnionSkinBefore = ReadFrameCount(ini, QStringLiteral("Before"), 1);
    OnionSkinAfter = ReadFrameCount(ini, QStringLiteral("After"), 1);
    OnionSkinWrap = ini.ReadBool(OnionSkinSection, QStringLiteral("Wrap"), false);
    Saved = ReadNames(ini, SavedSection);
    Opened = ReadNames(ini, OpenedSection);
}

QString TVMUPreferences::LoadNote() const {
    if (m_iniFile.LoadProblem().isEmpty())
        return {};
    return QStringLiteral("Unable to read the settings in %1: %2. Vistrel starts with its default "
                          "settings and leaves that file as it is.")
        .arg(m_iniFile.FileName(), m_iniFile.LoadProblem());
}

bool TVMUPreferences::Save() {
    // Whatever that file is, it is not settings this program can keep up to date.
    if (!m_iniFile.LoadProblem().isEmpty())
        return true;
    TIniFile& ini = m_iniFile;
    ini.WriteBool(MainSection, QStringLiteral("RegisterLCD"), RegisterLCD);
    ini.WriteBool(MainSection, QStringLiteral("RegisterVMS"), RegisterVMS);
    ini.WriteBool(MainSection, QStringLiteral("DisplayGrid"), DisplayGrid);
    ini.WriteInteger(MainSection, QStringLiteral("PlayerFPS"), PlayerFPS);
    ini.WriteBool(MainSection, QStringLiteral("LoopSelect"), LoopSelect);
    ini.WriteInteger(MainSection, QStringLiteral("PlayerZoom"), PlayerZoom);
    ini.WriteBool(MainSection, QStringLiteral("ShowLCDBlur"), ShowLCDBlur);
    ini.WriteInteger(MainSection, QStringLiteral("WindowLeft"), WindowLeft);
    ini.WriteInteger(MainSection, QStringLiteral("WindowTop"), WindowTop);
    ini.WriteInteger(MainSection, QStringLiteral("WindowWidth"), WindowWidth);
    ini.WriteInteger(MainSection, QStringLiteral("WindowHeight"), WindowHeight);
    ini.WriteBool(OnionSkinSection, QStringLiteral("Shown"), OnionSkin);
    ini.WriteInteger(OnionSkinSection, QStringLiteral("Before"), OnionSkinBefore);
    ini.WriteInteger(OnionSkinSection, QStringLiteral("After"), OnionSkinAfter);
    ini.WriteBool(OnionSkinSection, QStringLiteral("Wrap"), OnionSkinWrap);
    WriteNames(ini, SavedSection, Saved, MaxSaved);
    WriteNames(ini, OpenedSection, Opened, MaxOpened);
    return ini.Save();
}

int TVMUPreferences::EffectivePlayerFPS() const {
    return PlayerFPS >= 1 && PlayerFPS <= MaxPlayerFPS ? PlayerFPS : DefaultPlayerFPS;
}

int TVMUPreferences::PlayerFPSFromText(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number, 10);
    return number && value >= 1 && value <= MaxPlayerFPS ? value : DefaultPlayerFPS;
}

void TVMUPreferences::ForgetFile(const QString& name) {
    RemoveName(Saved, name);
    RemoveName(Opened, name);
}

void TVMUPreferences::RememberClosedFile(const QString& name) {
    const bool saved = std::any_of(Saved.begin(), Saved.end(), [&](const QString& item) {
        return item.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (saved)
        return;
    ForgetFile(name);
    Opened.prepend(name);
    while (Opened.size() > MaxOpened)
        Opened.removeLast();
}

void TVMUPreferences::RememberSavedFile(const QString& name) {
    ForgetFile(name);
    Saved.prepend(name);
    while (Saved.size() > MaxSaved)
        Saved.removeLast();
}

QString TVMUPreferences::DefaultIniPath() {
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString path = IniPathFor(QCoreApplication::applicationDirPath(), userFolder);
    if (path.startsWith(userFolder))
        QDir().mkpath(userFolder);
    return path;
}

QString TVMUPreferences::IniPathFor(const QString& programFolder, const QString& userFolder) {
    const QString name = QStringLiteral("VISTREL.INI");
    const QString besideProgram = QDir(programFolder).filePath(name);
    const QString folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const bool systemFolder =
        folder == QLatin1String("/usr") || folder.startsWith(QLatin1String("/usr/"));
    if (QFileInfo::exists(besideProgram) ||
        (!systemFolder && QFileInfo(programFolder).isWritable()))
        return besideProgram;
    return QDir(userFolder).filePath(name);
}

} // namespace vistrel
