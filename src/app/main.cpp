#include "fileNames.h"
#include "formMain.h"
#include "localFiles.h"
#include "programStyle.h"
#include "startupArguments.h"
#include "unitPreferences.h"

#include <QApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    vistrel::IgnoreFileSizeSignal();
    // Qt takes its own options (-style, -platform, ...) only from the arguments
    // before "--": a file named after it reaches the window whatever it looks like.
    vistrel::TCommandLine commandLine(argc, argv);
    // Help needs no display: it is printed before Qt looks for one.
    if (vistrel::TStartupArguments::Parse(commandLine.Arguments()).Help) {
        std::cout << vistrel::TStartupArguments::Usage << std::flush;
        return std::cout ? 0 : 1;
    }
    QApplication app(commandLine.QtArgc, commandLine.QtArgv.data());
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    // The style chosen for the desktop or by -style, its rarely shown pictures read later.
    QApplication::setStyle(new vistrel::TProgramStyle(QApplication::style()->name()));
    // Task bars and docks match the window to the installed vistrel.desktop; the
    // window gives them the program's icon once it has painted itself.
    QGuiApplication::setDesktopFileName(QStringLiteral("vistrel"));
    // File names are kept byte for byte, where QApplication::arguments() would
    // spoil those that are not UTF-8.
    vistrel::TfrmMain window(commandLine.Arguments(), vistrel::TVMUPreferences::DefaultIniPath());
    window.show();
    return QApplication::exec();
}
