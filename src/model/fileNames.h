#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vistrel {

// Length of a file name's extension: from the last dot of its last component on;
// 0 when there is none (a leading dot starts a name, not an extension).
qsizetype ExtensionLength(const QString& fileName);

// A file name is a string of bytes to the file system, and most are UTF-8. Qt
// turns the bytes that are not into replacement characters, so such a name would
// come back as another file's. These keep every byte: valid UTF-8 reads as Qt
// reads it, and each other byte B reads as the lone surrogate U+DC00 + B, which
// no UTF-8 text can hold; turning the name back into bytes restores it exactly.
QString FileNameFromBytes(const QByteArray& bytes);
QByteArray FileNameToBytes(const QString& fileName);
// The command line after the program's name, each argument read as a file name
// (FileNameFromBytes), so a name that is not UTF-8 reaches the file it names.
QStringList CommandLineArguments(int argc, const char* const argv[]);
// Whether the name holds a byte that is not UTF-8 (Qt's own file classes would
// open another file by it).
bool HasForeignBytes(const QString& fileName);

} // namespace vistrel
