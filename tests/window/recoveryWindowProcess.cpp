// The real window in a process of its own, for the tests that kill it.
//   edit INI: draws a dot on the first frame, inserts a frame after it, prints
//             "edited" and goes on running until it is killed.
//   recover INI: answers the start-up offer with Recover and prints what the
//             window then holds, one "key=value" a field, on one line.
#include "formMain.h"
#include "formRecover.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdio>

using namespace vistrel;

namespace {

// Any question but the recovery offer is a fault of the test: it is printed,
// and answered as cancelled.
class TChildPrompts : public TPrompts {
public:
    PromptButton MessageBox(const QString& text, const QString&, PromptIcon,
                            PromptButtons) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return PromptButton::Cancel;
    }
    std::optional<QString> InputQuery(const QString&, const QString&, const QString&) override {
        return Unexpected("input query");
    }
    std::optional<QString> OpenFileName(const TOpenFileRequest&) override {
        return Unexpected("open dialog");
    }
    std::optional<QString> SaveFileName(const TSaveFileRequest&) override {
        return Unexpected("save dialog");
    }
    std::optional<QFont> ChooseFont(const QFont&) override {
        Unexpected("font dialog");
        return std::nullopt;
    }
    bool ShowDialog(QDialog& dialog) override {
        auto* recover = dynamic_cast<TfrmRecover*>(&dialog);
        if (!recover) {
            Unexpected("dialog");
            return false;
        }
        recover->setResult(QDialog::Rejected);
        recover->show();
        recover->btnRecover->click();
        return recover->result() == QDialog::Accepted;
    }

private:
    static std::optional<QString> Unexpected(const char* what) {
        std::fprintf(stderr, "unexpected %s\n", what);
        return std::nullopt;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    TfrmMain window({}, QString::fromLocal8Bit(argv[2]));
    window.SetPrompts(std::make_unique<TChildPrompts>());
    window.show();
    window.FormActivate();
    QApplication::processEvents();
    if (mode == QLatin1String("edit")) {
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("pntbxEditor")), Qt::LeftButton,
                          {}, QPoint(10 * 8 + 3, 12 * 8 + 5));
        if (!window.InsertFrameAfterCurrent())
            return 1;
        std::printf("edited\n");
        std::fflush(stdout);
        return QApplication::exec();
    }
    const TAnimation& animation = window.Animation();
    const auto lit = [&](int frame, int x, int y) {
        return animation.IsValidIndex(frame) &&
               animation.Frame(frame).Pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
    };
    std::printf("frames=%d current=%d modified=%d title=%s dot=%d blank=%d file=%s\n",
                animation.FrameCount(), window.CurFrame(), window.Modified() ? 1 : 0,
                qPrintable(window.Document().Title()), lit(0, 10, 12) ? 1 : 0,
                lit(1, 10, 12) ? 0 : 1, qPrintable(window.Recovery().FilePath()));
    std::fflush(stdout);
    return 0;
}
