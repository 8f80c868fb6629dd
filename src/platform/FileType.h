#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace vistrel {

// Where per-user desktop files live: $XDG_DATA_HOME (applications, MIME
// packages, icons) and $XDG_CONFIG_HOME (mimeapps.list), each defaulting to its
// folder under the home folder when unset or not absolute.
struct TDesktopFolders {
    QString DataHome;
    QString ConfigHome;

    static TDesktopFolders FromEnvironment();
};

// The program that opens the files: the name its entries show, the executable
// they start and its icon.
struct TDesktopApplication {
    QString Name;
    QString ExecutablePath;
    QString IconName;
    std::function<QByteArray(int size)> IconPng; // the icon as PNG; empty: no program icon
};

// One verb of a file type: what a file manager offers for the type.
struct TFileTypeCommand {
    QString Verb;    // "open" is the default action
    QString Caption; // menu text, "&" marks the accelerator; empty: the program's name
    QString Params;  // arguments after the executable; "%1" stands for the file
};

// One file association on a freedesktop desktop, per user. Register writes a
// shared-mime-info package declaring the type, one desktop entry per verb,
// the type's icon and the program's icon, refreshes the databases, and last
// makes the "open" entry the type's default in mimeapps.list, unless the user
// chose another program. Unregister takes back only what is still ours.
class TFileType {
public:
    // The extension with its leading ".": "lcd" and "x.lcd" both give ".lcd".
    // An empty RegKeyName becomes the extension without its dot and "_auto_file".
    void SetFileType(const QString& value);
    const QString& FileType() const { return m_fileType; }

    QString RegKeyName;   // names our files: "Vistrel.LCD" gives vistrel-lcd.*
    QString ContentType;  // MIME type; empty: application/x- and the RegKeyName's stem
    QString Description;  // the type's name in file managers; optional
    QString IconFilename; // the type's icon name in the theme; empty: after the MIME type
    std::function<QByteArray(int size)> IconPng; // the type's icon as PNG; empty: none
    TDesktopApplication Application;
    TDesktopFolders Folders = TDesktopFolders::FromEnvironment();
    // Names the folder under DataHome that keeps the record of the last
    // registration; empty: none is kept and every Register does all its work.
    QString RecordFolder;
    // What the icon functions draw from (e.g. the program's build), so that the
    // record knows the icons without drawing them.
    QByteArray IconSource;

    // False, adding nothing, for an empty verb. Empty params become "%1" in
    // double quotes. A verb already in the list takes the new caption and
    // params, so registering again never doubles a verb.
    bool AddCommand(const QString& verb, const QString& caption, const QString& params);
    const std::vector<TFileTypeCommand>& Commands() const { return m_commands; }

    // False without writing anything when there is no extension or no command;
    // false with ErrorString() set when a file could not be written.
    bool Register();
    // The same in steps, so that several types refresh the databases once:
    // UpToDate tells, from a record of a few lines and the files' sizes and
    // times, that a registration would change nothing (nothing is read, drawn
    // or written); WriteFiles writes what differs and sets changed; after the
    // databases, MakeDefault points mimeapps.list at our entry; once every type
    // has its default (they share mimeapps.list), WriteRecord keeps the record.
    bool UpToDate() const;
    bool WriteFiles(bool& changed);
    bool RefreshDatabases(bool force);
    bool MakeDefault();
    void WriteRecord();
    // Removes our entries, and our default where it still names us. When the
    // user made another program the type's default, the type's declaration and
    // icon stay, so that choice keeps working.
    bool Unregister();
    const QString& ErrorString() const { return m_error; }

    // What Register writes, for the window and for tests.
    QString MimeType() const;
    QString IconName() const;
    QString Stem() const;                                 // "vistrel-lcd"
    QString DesktopId(const TFileTypeCommand& cmd) const; // "vistrel-lcd.desktop"
    QString DefaultDesktopId() const;                     // the "open" verb's entry
    QString MimePackagePath() const;
    QString DesktopEntryPath(const TFileTypeCommand& cmd) const;
    QString MimeAppsPath() const;
    QString RecordPath() const; // empty without a RecordFolder

    // A desktop entry's Exec value for the executable and the verb's params:
    // the path quoted and escaped only when it must be, "%1" becoming %f.
    static QString DesktopExec(const QString& executable, const QString& params);

private:
    bool Fail(const QString& message);
    bool WriteFile(const QString& path, const QByteArray& bytes, bool& changed);
    bool WriteIcons(const QString& kind, const QString& name,
                    const std::function<QByteArray(int)>& png, bool& changed);
    bool RemoveFile(const QString& path, bool& changed);
    bool RemoveIcons(const QString& kind, const QString& name, bool& changed);
    bool ReadMimeApps(QByteArray& bytes);
    QByteArray MimePackage() const;
    QByteArray DesktopEntry(const TFileTypeCommand& cmd) const;
    QStringList OurDesktopEntries() const;
    bool ProgramIconStillUsed() const;
    bool RemoveStaleEntries(bool& changed);
    QStringList WrittenPaths() const;
    QByteArray Record() const;

    QString m_fileType;
    std::vector<TFileTypeCommand> m_commands;
    QString m_error;
};

// Runs a desktop database tool with an argument list (never through a shell);
// true when it is not installed or ended with status 0.
bool RunDesktopTool(const QString& program, const QStringList& arguments, QString& error);

} // namespace vistrel
