// Writes the files an installation puts under share/: the MIME packages, the
// desktop entries of the file types and the icons, made by the same code that
// registers the types for one user, so both always agree.
#include "programFileTypes.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: vistrel-desktop-files FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QDir(arguments[1]).absolutePath();
    // Installed entries start the program found on the PATH.
    vistrel::TProgramFileTypes types(QStringLiteral("vistrel"));
    for (vistrel::TFileType* type : {&types.FileTypeLCD, &types.FileTypeVMS, &types.FileTypeVMI}) {
        type->Folders = {folder + QLatin1String("/share"), folder + QLatin1String("/config")};
        // An installation is written whole every time, and keeps no record of a user's
        // registration.
        type->RecordFolder.clear();
    }
    const QStringList errors = types.Register(true, true);
    for (const QString& error : errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    return errors.isEmpty() ? 0 : 1;
}
