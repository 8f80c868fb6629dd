#pragma once

#include "iniFile.h"

#include <QSize>
#include <QString>
#include <QStringList>

namespace vistrel {

// The user's settings and the two recent-file lists, read from the INI file once
// at start and written back once at exit.
class TVMUPreferences {
public:
    static constexpr int MaxSaved = 5;
    static constexpr int MaxOpened = 10;
    static constexpr int DefaultPlayerFPS = 12;
    static constexpr int MaxPlayerFPS = 1000;
    static constexpr int MaxOnionSkinFrames = 3;

    // Loads from iniPath; screenSize centres the default window bounds.
    TVMUPreferences(const QString& iniPath, QSize screenSize);

    bool RegisterLCD = true;
    bool RegisterVMS = true;
    bool DisplayGrid = false;
    int PlayerFPS = DefaultPlayerFPS;
    bool LoopSelect = false;
    int PlayerZoom = 2;
    bool ShowLCDBlur = true;
    int WindowLeft = 0;
    int WindowTop = 0;
    int WindowWidth = 640;
    int WindowHeight = 480;
    // The editor's onion skin: shown or not, how many frames before and after
    // the current one (0 to MaxOnionSkinFrames), and whether the last frame
    // leads on to the first.
    bool OnionSkin = false;
    int OnionSkinBefore = 1;
    int OnionSkinAfter = 1;
    bool OnionSkinWrap = false;
    QStringList Opened; // newest first
    QStringList Saved;  // newest first

    // Ticks per second to use wherever ticks become time: the stored value when it
    // is usable, else the default, so no time is ever divided by 0.
    int EffectivePlayerFPS() const;
    // The player's tick in whole milliseconds, at the effective rate.
    int PlayerTickMs() const { return 1000 / EffectivePlayerFPS(); }
    // The speed typed into the Preferences dialog: a decimal number from 1 to
    // MaxPlayerFPS, anything else the default.
    static int PlayerFPSFromText(const QString& text);

    void RememberClosedFile(const QString& name);
    void RememberSavedFile(const QString& name);
    void ForgetFile(const QString& name);

    QString IniFileName() const { return m_iniFile.FileName(); }
    // The whole store: sides keep sections of their own in it, written by Save.
    TIniFile& IniFile() { return m_iniFile; }
    // Writes every setting and both lists; false when the file could not be written.
    // A file that is there but could not be read (LoadNote) is left as it is.
    bool Save();
    // Said once at start-up when the settings file is there but could not be read
    // (not a regular file, too large, unreadable): the program then runs on the
    // defaults. Empty when the file was read or does not exist yet.
    QString LoadNote() const;

    // VISTREL.INI beside the executable; when that folder cannot be written and
    // holds no VISTREL.INI, the user's configuration folder instead.
    static QString DefaultIniPath();
    // The choice DefaultIniPath makes for a program in programFolder. A program
    // installed under /usr never writes beside itself, even for root, since the
    // package manager owns those folders; an INI already there is still read.
    static QString IniPathFor(const QString& programFolder, const QString& userFolder);

private:
    void Load(QSize screenSize);

    TIniFile m_iniFile;
};

} // namespace vistrel
