#include "FileType.h"

#include "desktopIcons.h"
#include "localFiles.h"
#include "mimeAppsList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamWriter>

namespace vistrel {

namespace {

// Every entry we write carries this key, so that Unregister never takes a file
// that is not ours, whatever its name.
const QString OwnerKey = QStringLiteral("X-Vistrel-FileType");
constexpr int ToolTimeoutMs = 30000;
// Desktop entries and mimeapps.list are small; a FIFO or a device in their place
// is not read at all, and a file larger than this is no entry of ours.
constexpr qint64 MaxDesktopFileSize = 16 * 1024 * 1024;

QString FolderFromEnvironment(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    // Desktops ignore a relative XDG folder, so Vistrel does too.
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QDir::homePath() + fallback;
}

// Desktop entry string values escape these, before any Exec quoting.
QString EscapeString(const QString& value) {
    QString escaped;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString WithoutAccelerator(QString caption) {
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption;
}

QString IconPath(const QString& dataHome, int size, const QString& kind, const QString& name) {
    return QStringLiteral("%1/icons/hicolor/%2x%2/%3/%4.png")
        .arg(dataHome)
        .arg(size)
        .arg(kind, name);
}

// True when the database file is missing or older than a file it is built from.
bool Outdated(const QString& database, const QStringList& sources) {
    const QFileInfo built(database);
    if (!built.exists())
        return true;
    for (const QString& source : sources)
        if (QFileInfo(source).lastModified() > built.lastModified())
            return true;
    return false;
}

} // namespace

TDesktopFolders TDesktopFolders::FromEnvironment() {
    return {FolderFromEnvironment("XDG_DATA_HOME", QStringLiteral("/.local/share")),
            FolderFromEnvironment("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
}

bool RunDesktopTool(const QString& program, const QStringList& arguments, QString& error) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return true;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(path, arguments);
    if (!process.waitForStarted(ToolTimeoutMs) || !process.waitForFinished(ToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        error = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        error = QStringLiteral("%1 failed: %2")
                    .arg(program, QString::fromLocal8Bit(process.readAll()).trimmed());
        return false;
    }
    return true;
}

void TFileType::SetFileType(const QString& value) {
    if (value == m_fileType)
        return;
    const qsizetype dot = value.indexOf(QLatin1Char('.'));
    m_fileType = dot >= 0 ? value.mid(dot) : QLatin1Char('.') + value;
    if (RegKeyName.isEmpty())
        RegKeyName = m_fileType.mid(1, 255) + QLatin1String("_auto_file");
}

bool TFileType::AddCommand(const QString& verb, const QString& caption, const QString& params) {
    if (verb.isEmpty())
        return false;
    const QString arguments = params.isEmpty() ? QStringLiteral("\"%1\"") : params;
    for (TFileTypeCommand& command : m_commands) {
        if (command.Verb == verb) {
            command.Caption = caption;
            command.Params = arguments;
            return true;
        }
    }
    m_commands.push_back({verb, caption, arguments});
    return true;
}

QString TFileType::Stem() const {
    QString stem;
    for (const QChar c : RegKeyName.toLower())
        stem += (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                    ? c
                    : QLatin1Char('-');
    return stem;
}

QString TFileType::MimeType() const {
    return ContentType.isEmpty() ? QLatin1String("application/x-") + Stem() : ContentType;
}

QString TFileType::IconName() const {
    return IconFilename.isEmpty() ? QString(MimeType()).replace(QLatin1Char('/'), QLatin1Char('-'))
                                  : IconFilename;
}

// Without a default in mimeapps.list, desktops take the first entry of the type
// in name order: "_" sorts after ".", so the open entry comes before every verb's.
QString TFileType::DesktopId(const TFileTypeCommand& cmd) const {
    return cmd.Verb == QLatin1String("open")
               ? Stem() + QLatin1String(".desktop")
               : Stem() + QLatin1Char('_') + cmd.Verb.toLower() + QLatin1String(".desktop");
}

QString TFileType::DefaultDesktopId() const {
    for (const TFileTypeCommand& command : m_commands)
        if (command.Verb == QLatin1String("open"))
            return DesktopId(command);
    return m_commands.empty() ? QString() : DesktopId(m_commands.front());
}

QString TFileType::MimePackagePath() const {
    return Folders.DataHome + QLatin1String("/mime/packages/") + Stem() + QLatin1String(".xml");
}

QString TFileType::DesktopEntryPath(const TFileTypeCommand& cmd) const {
    return Folders.DataHome + QLatin1String("/applications/") + DesktopId(cmd);
}

QString TFileType::MimeAppsPath() const {
    return Folders.ConfigHome + QLatin1String("/mimeapps.list");
}

QString TFileType::RecordPath() const {
    return RecordFolder.isEmpty()
               ? QString()
               : QStringLiteral("%1/%2/registered-%3").arg(Folders.DataHome, RecordFolder, Stem());
}

QString TFileType::DesktopExec(const QString& executable, const QString& params) {
    // An argument holding a reserved character is quoted, and inside the quotes
    // ", `, $ and \ take a backslash; "%" is doubled in every case, since a single
    // one starts a field code.
    static const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString path = executable;
    path.replace(QLatin1Char('%'), QLatin1String("%%"));
    const bool quote =
        std::any_of(path.begin(), path.end(), [](QChar c) { return Reserved.contains(c); });
    if (quote) {
        QString quoted;
        for (const QChar c : path) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        path = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    QString arguments = params;
    arguments.replace(QLatin1String("\"%1\""), QLatin1String("%f"));
    arguments.replace(QLatin1String("%1"), QLatin1String("%f"));
    return arguments.isEmpty() ? path : path + QLatin1Char(' ') + arguments;
}

QByteArray TFileType::MimePackage() const {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), MimeType());
    if (!Description.isEmpty())
        xml.writeTextElement(QStringLiteral("comment"), Description);
    if (IconPng) {
        xml.writeEmptyElement(QStringLiteral("icon"));
        xml.writeAttribute(QStringLiteral("name"), IconName());
    }
    // Glob matching is case-insensitive, so the lower-case pattern also takes
    // FILE.LCD.
    xml.writeEmptyElement(QStringLiteral("glob"));
    xml.writeAttribute(QStringLiteral("pattern"), QLatin1Char('*') + m_fileType.toLower());
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray TFileType::DesktopEntry(const TFileTypeCommand& cmd) const {
    const QString caption = WithoutAccelerator(cmd.Caption);
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QLatin1String("Name=") + EscapeString(caption.isEmpty() ? Application.Name : caption) +
            QLatin1Char('\n');
    if (!Description.isEmpty())
        text += QLatin1String("Comment=") + EscapeString(Description) + QLatin1Char('\n');
    text += QLatin1String("Exec=") +
            EscapeString(DesktopExec(Application.ExecutablePath, cmd.Params)) + QLatin1Char('\n');
    if (Application.IconPng)
        text += QLatin1String("Icon=") + EscapeString(Application.IconName) + QLatin1Char('\n');
    text += QLatin1String("MimeType=") + MimeType() + QLatin1String(";\n");
    // The entry serves the type; the program's own menu entry comes with its installation.
    text += QLatin1String("NoDisplay=true\nTerminal=false\n");
    text += OwnerKey + QLatin1Char('=') + EscapeString(RegKeyName) + QLatin1Char('\n');
    return text.toUtf8();
}

bool TFileType::Fail(const QString& message) {
    m_error = message;
    return false;
}

bool TFileType::WriteFile(const QString& path, const QByteArray& bytes, bool& changed) {
    QByteArray existing;
    if (ReadLocalFile(path, bytes.size(), existing) && existing == bytes)
        return true;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Fail(QStringLiteral("Unable to create the folder %1").arg(folder));
    // Each file appears whole or not at all, so a failure part-way never leaves
    // a cut entry behind.
    QString reason;
    if (!SaveLocalFile(path, bytes, &reason))
        return Fail(QStringLiteral("Unable to write %1: %2").arg(path, reason));
    changed = true;
    return true;
}

bool TFileType::WriteIcons(const QString& kind, const QString& name,
                           const std::function<QByteArray(int)>& png, bool& changed) {
    if (!png)
        return true;
    for (const int size : DesktopIconSizes)
        if (!WriteFile(IconPath(Folders.DataHome, size, kind, name), png(size), changed))
            return false;
    return true;
}

bool TFileType::RemoveFile(const QString& path, bool& changed) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    QFile file(path);
    if (!file.remove())
        return Fail(QStringLiteral("Unable to remove %1: %2").arg(path, file.errorString()));
    changed = true;
    return true;
}

bool TFileType::RemoveIcons(const QString& kind, const QString& name, bool& changed) {
    for (const int size : DesktopIconSizes)
        if (!RemoveFile(IconPath(Folders.DataHome, size, kind, name), changed))
            return false;
    return true;
}

bool TFileType::RefreshDatabases(bool force) {
    const QString mime = Folders.DataHome + QLatin1String("/mime");
    const QString applications = Folders.DataHome + QLatin1String("/applications");
    QString error;
    // A database left stale by an earlier run (the tool was missing, or failed)
    // is rebuilt even when our files did not change.
    if ((force || Outdated(mime + QLatin1String("/mime.cache"), {MimePackagePath()})) &&
        QFileInfo(mime).isDir() &&
        !RunDesktopTool(QStringLiteral("update-mime-database"), {mime}, error))
        return Fail(error);
    QStringList entries;
    for (const TFileTypeCommand& command : m_commands)
        entries << DesktopEntryPath(command);
    if ((force || Outdated(applications + QLatin1String("/mimeinfo.cache"), entries)) &&
        QFileInfo(applications).isDir() &&
        !RunDesktopTool(QStringLiteral("update-desktop-database"), {applications}, error))
        return Fail(error);
    return true;
}

QStringList TFileType::OurDesktopEntries() const {
    const QDir folder(Folders.DataHome + QLatin1String("/applications"));
    QStringList ours;
    const QByteArray marker = (OwnerKey + QLatin1Char('=') + EscapeString(RegKeyName)).toUtf8();
    for (const QString& name :
         folder.entryList({Stem() + QLatin1String(".desktop"), Stem() + QLatin1String("_*.desktop"),
                           Stem() + QLatin1String("-*.desktop")},
                          QDir::Files)) {
        QByteArray bytes;
        if (ReadLocalFile(folder.filePath(name), MaxDesktopFileSize, bytes) &&
            bytes.split('\n').contains(marker))
            ours << folder.filePath(name);
    }
    return ours;
}

// The program's icon stays while any entry of the folder shows it: another type's
// entries, or the program's own entry from an installation under the same folder.
bool TFileType::ProgramIconStillUsed() const {
    const QDir folder(Folders.DataHome + QLatin1String("/applications"));
    const QByteArray marker =
        (QLatin1String("Icon=") + EscapeString(Application.IconName)).toUtf8();
    for (const QString& name : folder.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
        QByteArray bytes;
        if (!ReadLocalFile(folder.filePath(name), MaxDesktopFileSize, bytes))
            continue;
        for (const QByteArray& line : bytes.split('\n'))
            if (line.trimmed() == marker)
                return true;
    }
    return false;
}

bool TFileType::ReadMimeApps(QByteArray& bytes) {
    if (!LocalFileExists(MimeAppsPath()))
        return true;
    QString reason;
    if (!ReadLocalFile(MimeAppsPath(), MaxDesktopFileSize, bytes, &reason))
        return Fail(QStringLiteral("Unable to read %1: %2").arg(MimeAppsPath(), reason));
    return true;
}

bool TFileType::Register() {
    m_error.clear();
    bool changed = false;
    if (UpToDate())
        return true;
    if (!WriteFiles(changed) || !RefreshDatabases(changed) || !MakeDefault())
        return false;
    WriteRecord();
    return true;
}

bool TFileType::WriteFiles(bool& changed) {
    m_error.clear();
    if (m_fileType.isEmpty() || m_commands.empty())
        return false;
    // Everything the association points at is complete before anything points
    // at it: icons, the type, the entries, the databases, and the default last.
    if (!WriteIcons(QStringLiteral("apps"), Application.IconName, Application.IconPng, changed) ||
        !WriteIcons(QStringLiteral("mimetypes"), IconName(), IconPng, changed) ||
        !WriteFile(MimePackagePath(), MimePackage(), changed))
        return false;
    for (const TFileTypeCommand& command : m_commands)
        if (!WriteFile(DesktopEntryPath(command), DesktopEntry(command), changed))
            return false;
    return RemoveStaleEntries(changed);
}

// Entries of ours that no verb writes any more (a verb dropped, or an entry of
// an earlier version's name) would still be offered for the type.
bool TFileType::RemoveStaleEntries(bool& changed) {
    QStringList current;
    for (const TFileTypeCommand& command : m_commands)
        current << DesktopEntryPath(command);
    for (const QString& entry : OurDesktopEntries())
        if (!current.contains(entry) && !RemoveFile(entry, changed))
            return false;
    return true;
}

bool TFileType::MakeDefault() {
    m_error.clear();
    QByteArray bytes;
    if (!ReadMimeApps(bytes))
        return false;
    TMimeAppsList list(bytes);
    const QStringList defaults = list.Defaults(MimeType());
    // A default the user chose for another program is never overridden.
    if (defaults.isEmpty() || defaults.front() == DefaultDesktopId()) {
        list.SetDefault(MimeType(), DefaultDesktopId());
        bool listChanged = false;
        if (list.Bytes() != bytes && !WriteFile(MimeAppsPath(), list.Bytes(), listChanged))
            return false;
    }
    return true;
}

void TFileType::WriteRecord() {
    // The record is a shortcut only: when it cannot be written, the next start
    // does the whole work again and nothing is lost.
    if (RecordPath().isEmpty())
        return;
    bool recorded = false;
    const QString error = m_error;
    if (!WriteFile(RecordPath(), Record(), recorded))
        m_error = error;
}

QStringList TFileType::WrittenPaths() const {
    QStringList paths;
    for (const int size : DesktopIconSizes) {
        if (Application.IconPng)
            paths << IconPath(Folders.DataHome, size, QStringLiteral("apps"), Application.IconName);
        if (IconPng)
            paths << IconPath(Folders.DataHome, size, QStringLiteral("mimetypes"), IconName());
    }
    paths << MimePackagePath();
    for (const TFileTypeCommand& command : m_commands)
        paths << DesktopEntryPath(command);
    paths << MimeAppsPath();
    return paths;
}

// What would be written, in a few bytes (the icons stand in by their source),
// then the size and time of every file a registration writes or reads: any file
// changed, replaced or removed since shows in the record.
QByteArray TFileType::Record() const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(MimePackage());
    for (const TFileTypeCommand& command : m_commands) {
        hash.addData(DesktopEntryPath(command).toUtf8());
        hash.addData(DesktopEntry(command));
    }
    hash.addData(IconSource);
    hash.addData((Application.IconName + QLatin1Char('\n') + IconName() + QLatin1Char('\n') +
                  DefaultDesktopId())
                     .toUtf8());
    for (const int size : DesktopIconSizes)
        hash.addData(QByteArray::number(size) + ' ');
    hash.addData(QByteArray::number(Application.IconPng ? 1 : 0) +
                 QByteArray::number(IconPng ? 1 : 0));
    QByteArray record = hash.result().toHex() + '\n';
    for (const QString& path : WrittenPaths()) {
        const QFileInfo info(path);
        record += QFile::encodeName(path) + '\t' +
                  (info.exists() ? QByteArray::number(info.size()) + '\t' +
                                       QByteArray::number(info.lastModified().toMSecsSinceEpoch())
                                 : QByteArray("missing")) +
                  '\n';
    }
    return record;
}

bool TFileType::UpToDate() const {
    if (RecordPath().isEmpty() || m_fileType.isEmpty() || m_commands.empty())
        return false;
    QByteArray recorded;
    return ReadLocalFile(RecordPath(), MaxDesktopFileSize, recorded) && recorded == Record();
}

bool TFileType::Unregister() {
    m_error.clear();
    if (m_fileType.isEmpty())
        return true;
    bool recordRemoved = false;
    // Without its record, the next registration checks every file again.
    if (!RecordPath().isEmpty() && !RemoveFile(RecordPath(), recordRemoved))
        return false;
    QByteArray bytes;
    if (!ReadMimeApps(bytes))
        return false;
    TMimeAppsList list(bytes);
    const QStringList entries = OurDesktopEntries();
    QStringList ourIds{Stem() + QLatin1String(".desktop")};
    for (const QString& entry : entries)
        ourIds << QFileInfo(entry).fileName();
    const QStringList defaults = list.Defaults(MimeType());
    const bool takenOver = !defaults.isEmpty() && !ourIds.contains(defaults.front());

    bool changed = false;
    // Our default goes first, so that no moment has it pointing at a removed entry.
    if (!takenOver) {
        for (const QString& id : ourIds)
            list.RemoveDefault(MimeType(), id);
        if (list.Bytes() != bytes && !WriteFile(MimeAppsPath(), list.Bytes(), changed))
            return false;
    }
    for (const QString& entry : entries)
        if (!RemoveFile(entry, changed))
            return false;
    // Another program's default still needs the type to exist, with its icon.
    if (!takenOver && (!RemoveFile(MimePackagePath(), changed) ||
                       !RemoveIcons(QStringLiteral("mimetypes"), IconName(), changed)))
        return false;
    if (!Application.IconName.isEmpty() && !ProgramIconStillUsed() &&
        !RemoveIcons(QStringLiteral("apps"), Application.IconName, changed))
        return false;
    return !changed || RefreshDatabases(true);
}

} // namespace vistrel
