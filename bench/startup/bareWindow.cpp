// The baseline of bench/startup-report: a bare Qt main window of the window's
// size, titled by its first argument, shown as the program shows its own.
// With --text as its second argument it also shows a line of text in its
// status bar: the least a window shows that has words on it, and so loads the
// fonts before it appears (a menu bar would also load every image plugin for
// its overflow button's picture, which the program avoids).
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Bare"));
    if (argc > 2 && QByteArray(argv[2]) == "--text")
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
