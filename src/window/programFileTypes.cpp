#include "programFileTypes.h"

#include "desktopIcons.h"
#include "localFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <optional>

namespace vistrel {

namespace {

// The icons are drawn by the program itself: its build says which they are.
QByteArray ProgramBuild(const QString& executable) {
    const QFileInfo program(executable);
    return (executable + QLatin1Char('\n') + QCoreApplication::applicationVersion() +
            QLatin1Char('\n') + QString::number(program.size()) + QLatin1Char('\n') +
            QString::number(program.lastModified().toMSecsSinceEpoch()))
        .toUtf8();
}

void SetUp(TFileType& type, const char* extension, const char* contentType, const char* description,
           TDesktopIcon icon, const TDesktopApplication& application) {
    type.RegKeyName = QStringLiteral("Vistrel") + QLatin1String(extension);
    type.SetFileType(QLatin1String(extension));
    type.ContentType = QLatin1String(contentType);
    type.Description = QLatin1String(description);
    type.IconPng = [icon](int size) { return DesktopIconPng(icon, size); };
    type.Application = application;
    type.RecordFolder = QStringLiteral("vistrel");
    type.IconSource = ProgramBuild(QCoreApplication::applicationFilePath());
}

const QString PlayCaption = QStringLiteral("&Play with Vistrel");
const QString PlayParams = QStringLiteral("/P \"%1\"");

void AddCommands(TFileType& type, bool play) {
    type.AddCommand(QStringLiteral("open"), {}, QStringLiteral("\"%1\""));
    if (play)
        type.AddCommand(QStringLiteral("Play"), PlayCaption, PlayParams);
}

// The content types earlier versions gave the memory card files, by extension.
// A desktop that still declares one of them would know each file under two
// names, and keep a default and icons under the old one.
QString EarlierContentType(const TFileType& type) {
    if (type.FileType() == QLatin1String(".VMS"))
        return QStringLiteral("application/x-memory-card-vms");
    if (type.FileType() == QLatin1String(".VMI"))
        return QStringLiteral("application/x-memory-card-vms-info");
    return {};
}

// The type as our package on the desktop declares it under its earlier name,
// when it still does: the package's file name stayed, only its content changed.
std::optional<TFileType> DeclaredEarlier(const TFileType& type) {
    const QString earlier = EarlierContentType(type);
    QByteArray package;
    if (earlier.isEmpty() || !ReadLocalFile(type.MimePackagePath(), 64 * 1024, package) ||
        !package.contains(("type=\"" + earlier + "\"").toUtf8()))
        return std::nullopt;
    TFileType declared = type;
    declared.ContentType = earlier;
    return declared;
}

QStringList UnregisterOne(TFileType& type) {
    // Removing the earlier declaration takes our entries and package as well.
    if (std::optional<TFileType> earlier = DeclaredEarlier(type))
        return earlier->Unregister() ? QStringList() : QStringList{earlier->ErrorString()};
    return type.Unregister() ? QStringList() : QStringList{type.ErrorString()};
}

} // namespace

TProgramFileTypes::TProgramFileTypes(const QString& executable) {
    const TDesktopApplication application{
        QStringLiteral("Vistrel"), executable, QStringLiteral("vistrel"),
        [](int size) { return DesktopIconPng(TDesktopIcon::Program, size); }};
    SetUp(FileTypeLCD, ".LCD", "application/x-vistrel-lcd", "Vistrel Animation",
          TDesktopIcon::Animation, application);
    SetUp(FileTypeVMS, ".VMS", "application/x-dreamcast-vms", "Dreamcast VMU Application",
          TDesktopIcon::Animation, application);
    SetUp(FileTypeVMI, ".VMI", "application/x-dreamcast-vms-info", "Dreamcast VMU Application Info",
          TDesktopIcon::AnimationInfo, application);
}

QStringList TProgramFileTypes::Register(bool vms, bool lcd) {
    std::vector<TFileType*> types;
    if (vms) {
        AddCommands(FileTypeVMS, true);
        AddCommands(FileTypeVMI, false);
        types = {&FileTypeVMS, &FileTypeVMI};
    }
    if (lcd) {
        AddCommands(FileTypeLCD, true);
        types.push_back(&FileTypeLCD);
    }
    QStringList errors;
    auto failed = [&errors](TFileType& type) {
        if (!type.ErrorString().isEmpty())
            errors << type.ErrorString();
    };
    // Every type's files first, then the databases once for all of them, then
    // the defaults, which point at entries the databases already know.
    std::vector<TFileType*> pending;
    bool changed = false;
    for (TFileType* type : types) {
        if (type->UpToDate())
            continue;
        // The earlier names go first, with their default and icons; the type is
        // then written afresh under its own.
        if (DeclaredEarlier(*type)) {
            const QStringList removed = UnregisterOne(*type);
            if (!removed.isEmpty()) {
                errors << removed;
                continue;
            }
            changed = true;
        }
        if (type->WriteFiles(changed))
            pending.push_back(type);
        else
            failed(*type);
    }
    if (!pending.empty() && !pending.front()->RefreshDatabases(changed)) {
        failed(*pending.front());
        pending.clear();
    }
    std::vector<TFileType*> done;
    for (TFileType* type : pending) {
        if (type->RefreshDatabases(false) && type->MakeDefault())
            done.push_back(type);
        else
            failed(*type);
    }
    for (TFileType* type : done)
        type->WriteRecord();
    errors.removeDuplicates();
    return errors;
}

QStringList TProgramFileTypes::Unregister(bool lcd, bool vms) {
    QStringList errors;
    if (lcd)
        errors << UnregisterOne(FileTypeLCD);
    if (vms) {
        errors << UnregisterOne(FileTypeVMS);
        errors << UnregisterOne(FileTypeVMI);
    }
    errors.removeDuplicates();
    return errors;
}

} // namespace vistrel
