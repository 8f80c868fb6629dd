#include "programFileTypes.h"

#include "desktopIcons.h"

namespace vistrel {

namespace {

void SetUp(TFileType& type, const char* extension, const char* contentType, const char* description,
           TDesktopIcon icon, const TDesktopApplication& application) {
    type.RegKeyName = QStringLiteral("Vistrel") + QLatin1String(extension);
    type.SetFileType(QLatin1String(extension));
    type.ContentType = QLatin1String(contentType);
    type.Description = QLatin1String(description);
    type.IconPng = [icon](int size) { return DesktopIconPng(icon, size); };
    type.Application = application;
}

const QString PlayCaption = QStringLiteral("&Play with Vistrel");
const QString PlayParams = QStringLiteral("/P \"%1\"");

QStringList RegisterOne(TFileType& type, bool play) {
    type.AddCommand(QStringLiteral("open"), {}, QStringLiteral("\"%1\""));
    if (play)
        type.AddCommand(QStringLiteral("Play"), PlayCaption, PlayParams);
    if (type.Register() || type.ErrorString().isEmpty())
        return {};
    return {type.ErrorString()};
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
    QStringList errors;
    if (vms) {
        errors << RegisterOne(FileTypeVMS, true);
        errors << RegisterOne(FileTypeVMI, false);
    }
    if (lcd)
        errors << RegisterOne(FileTypeLCD, true);
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
