#pragma once

#include "FileType.h"

#include <QStringList>

namespace vistrel {

// The program's three file associations: LCD animations, memory card files and
// their information files. LCD is one kind, VMS with VMI the other; each kind
// is registered and removed on its own.
class TProgramFileTypes {
public:
    // executable: the program the entries start.
    explicit TProgramFileTypes(const QString& executable);

    TFileType FileTypeLCD;
    TFileType FileTypeVMS;
    TFileType FileTypeVMI;

    // Registers VMS and VMI when vms is set, then LCD when lcd is set; every
    // type is tried. The messages of the failures, none when all succeeded.
    QStringList Register(bool vms, bool lcd);
    // Removes LCD when lcd is set, then VMS and VMI when vms is set.
    QStringList Unregister(bool lcd, bool vms);
};

} // namespace vistrel
