#include "desktopIcons.h"
#include "formMain.h"
#include "unitPreferences.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    // Task bars and docks match the window to the installed vistrel.desktop and
    // show the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vistrel"));
    QApplication::setWindowIcon(vistrel::DesktopIcon(vistrel::TDesktopIcon::Program));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vistrel::TfrmMain window(arguments, vistrel::TVMUPreferences::DefaultIniPath());
    window.show();
    return QApplication::exec();
}
