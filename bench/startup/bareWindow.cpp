// The baseline of bench/startup-report: a bare Qt main window of the window's
// size, titled by its first argument, shown as the program shows its own.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Bare"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
