#include "programFileTypes.h"

#include "desktopIcons.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

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

QStringList UnregisterOne(TFileType& type) {
    return type.Unregister() ? QStringList() : QStringList{type.ErrorString()};
}

} // namespace

TProgramFileTypes::TProgramFileTypes(const QString& executable) {
    const TDesktopApplication application{
        QStringLiteral("Vistrel"), executable, QStringLiteral("vistrel"),
        [](int size) { return DesktopIconPng(TDesktopIcon::Program, size); }};
    SetUp(FileTypeLCD, ".LCD", "application/x-vistrel-lcd", "Vistrel Animation",
          TDesktopIcon::Animation, application);
    SetUp(FileTypeVMS, ".VMS", "application/x-memory-card-vms", "Memory Card Application",
          TDesktopIcon::Animation, application);
    SetUp(FileTypeVMI, ".VMI", "application/x-memory-card-vms-info", "Memory Card Application Info",
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
