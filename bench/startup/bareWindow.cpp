// The baseline of bench/startup-report: a bare Qt main window of the window's
// size, titled by its first argument, shown as the program shows its own.
// With --menus as its second argument it also has a menu bar of five menus and
// a status bar with a line of text: the least a window shows that has words on
// it, and so loads fonts before it appears.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Bare"));
    if (argc > 2 && QByteArray(argv[2]) == "--menus") {
        for (const char* title : {"&File", "&Edit", "&View", "&Animation", "&Help"})
            window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
