#include "formMain.h"
#include "unitPreferences.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vistrel::TfrmMain window(arguments, vistrel::TVMUPreferences::DefaultIniPath());
    window.show();
    return QApplication::exec();
}
