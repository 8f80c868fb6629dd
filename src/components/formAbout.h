#pragma once

#include <QDate>
#include <QDialog>
#include <QLocale>
#include <QPixmap>

class QLabel;
class QPushButton;

namespace vistrel {

// The about box: the splash picture with the version, the build date, a notice
// of rights and the machine's physical memory.
class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    // totalMemory: the machine's physical memory in bytes (0: unknown).
    explicit TfrmAbout(quint64 totalMemory, QWidget* parent = nullptr);

    QLabel* imgSplash;
    QLabel* lblVersion;
    QLabel* lblCompiled;
    QLabel* lblCopyright;
    QLabel* lblMemAvail;
    QPushButton* btnOK;
};

// "Total Physical Memory: 65,536KB" for 64 MiB in an English locale: whole
// kilobytes, rounded, with the locale's thousands separators.
QString MemoryLabelText(quint64 totalBytes, const QLocale& locale = QLocale());
// The day this program was built.
QDate BuildDate();
// The picture behind the about box, 377 x 153.
QPixmap PaintSplash();

} // namespace vistrel
