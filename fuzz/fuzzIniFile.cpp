// Any bytes as the settings file: reading never fails or hangs, and writing what
// was read and reading that back keeps every section and every key with its value,
// in the same order, so a save at exit never loses or changes a setting the file
// held. The bytes are also taken as a file name, which must come back byte for
// byte (the settings file is read the same way, so that it keeps recent files'
// names that are not UTF-8).

#include "fileNames.h"
#include "fuzzChecks.h"
#include "iniFile.h"

using namespace vistrel;
using namespace vistrel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    const QByteArray bytes = Bytes(data, size);
    Require(FileNameToBytes(FileNameFromBytes(bytes)) == bytes,
            "a file name read from bytes gives other bytes back");

    TIniFile read(QString{});
    read.FromBytes(bytes);
    const QString written = read.ToText();

    TIniFile reread(QString{});
    reread.FromBytes(read.ToBytes());
    const QStringList sections = read.SectionNames();
    Require(reread.SectionNames() == sections, "sections lost, added or renamed by a save");
    for (const QString& section : sections) {
        Require(reread.ReadSectionValues(section) == read.ReadSectionValues(section),
                "keys of a section changed by a save");
        for (const QString& line : read.ReadSectionValues(section)) {
            const QString key = line.left(line.indexOf(u'='));
            Require(reread.ReadString(section, key, QStringLiteral("\x01missing")) ==
                        read.ReadString(section, key, QString{}),
                    "a key reads another value after a save");
        }
    }
    Require(reread.ToText() == written, "saving what was read back gives other text");
    return 0;
}
