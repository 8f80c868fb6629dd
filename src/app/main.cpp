#include "desktopIcons.h"
#include "fileNames.h"
#include "formMain.h"
#include "localFiles.h"
#include "prompts.h"
#include "unitPreferences.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    vistrel::IgnoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setApplicationVersion(QStringLiteral(VISTREL_VERSION));
    // Task bars and docks match the window to the installed vistrel.desktop and
    // show the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vistrel"));
    QApplication::setWindowIcon(vistrel::DesktopIcon(vistrel::TDesktopIcon::Program));
    // Qt has taken its own options out of argv. File names are kept byte for byte,
    // where QApplication::arguments() would spoil those that are not UTF-8.
    vistrel::TfrmMain window(vistrel::CommandLineArguments(argc, argv),
                             vistrel::TVMUPreferences::DefaultIniPath());
    // Said once, before the window's own start-up messages: settings that could
    // not be read leave the program on its defaults.
    if (const QString note = window.Preferences().LoadNote(); !note.isEmpty())
        vistrel::TWidgetPrompts(nullptr).MessageBox(note, QStringLiteral("Vistrel"),
                                                    vistrel::PromptIcon::Warning,
                                                    vistrel::PromptButtons::Ok);
    window.show();
    return QApplication::exec();
}
