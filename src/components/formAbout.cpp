#include "formAbout.h"

#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace vistrel {

namespace {

constexpr int ClientWidth = 412;
constexpr int Margin = 8;
constexpr QRect SplashRect(9, 10, 377, 153);
constexpr int TextLeft = 140; // right of the LCD on the splash

const QColor SplashTop(0x34, 0x44, 0x63);
const QColor SplashBottom(0x16, 0x1D, 0x2B);
const QColor LcdGlass(0xB7, 0xC9, 0x9A);
const QColor LcdDot(0x1F, 0x2A, 0x1A);
const QColor TextColour(0xE8, 0xEC, 0xF2);

// A 48 x 32 frame as the LCD shows it: a ball bouncing along a floor.
QImage SplashFrame() {
    QImage frame(48, 32, QImage::Format_RGB32);
    frame.fill(Qt::white);
    QPainter painter(&frame);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawLine(0, 30, 47, 30);
    // The ball's path: hops from floor to floor, each lower than the one before.
    struct Hop {
        int from, to, height;
    };
    for (const Hop hop : {Hop{0, 18, 22}, Hop{18, 32, 14}, Hop{32, 42, 7}}) {
        const int half = (hop.to - hop.from) / 2;
        for (int x = hop.from; x <= hop.to; x += 2) {
            const int offset = x - hop.from - half;
            painter.drawPoint(x, 27 - hop.height + hop.height * offset * offset / (half * half));
        }
    }
    painter.drawEllipse(QPoint(45, 26), 2, 2);
    painter.end();
    return frame;
}

} // namespace

QPixmap PaintSplash() {
    QImage splash(SplashRect.size(), QImage::Format_RGB32);
    QPainter painter(&splash);
    QLinearGradient gradient(0, 0, 0, splash.height());
    gradient.setColorAt(0, SplashTop);
    gradient.setColorAt(1, SplashBottom);
    painter.fillRect(splash.rect(), gradient);

    // The LCD: every lit dot a 2 x 2 square, as the frame editor shows them.
    const QRect glass(12, 22, 48 * 2 + 12, 32 * 2 + 12);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x0E, 0x13, 0x1C), 3));
    painter.setBrush(LcdGlass);
    painter.drawRoundedRect(glass, 6, 6);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QImage frame = SplashFrame();
    painter.setPen(Qt::NoPen);
    painter.setBrush(LcdDot);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (frame.pixel(x, y) == qRgb(0, 0, 0))
                painter.drawRect(glass.left() + 6 + x * 2, glass.top() + 6 + y * 2, 2, 2);

    painter.setRenderHint(QPainter::Antialiasing);
    QFont title = painter.font();
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(TextColour);
    painter.drawText(QRect(TextLeft, 8, splash.width() - TextLeft - 8, 44),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vistrel"));
    painter.end();
    return QPixmap::fromImage(splash);
}

QDate BuildDate() {
    return QDate::fromString(QString::fromLatin1(__DATE__).simplified(),
                             QStringLiteral("MMM d yyyy"));
}

QString MemoryLabelText(quint64 totalBytes, const QLocale& locale) {
    if (totalBytes == 0)
        return QStringLiteral("Total Physical Memory: unknown");
    // Rounded to the nearest kilobyte in 64-bit integers: no wrap above 4 GiB.
    const quint64 kilobytes = totalBytes / 1024 + (totalBytes % 1024 >= 512 ? 1 : 0);
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("Total Physical Memory: %1KB").arg(grouped.toString(kilobytes));
}

TfrmAbout::TfrmAbout(quint64 totalMemory, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vistrel"));

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setGeometry(SplashRect);
    imgSplash->setPixmap(PaintSplash());

    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, TextColour);
    int top = SplashRect.top() + 50;
    const auto label = [&](const char* name, const QString& text) {
        auto* item = new QLabel(text, this);
        item->setObjectName(QLatin1String(name));
        item->setPalette(palette);
        item->setGeometry(SplashRect.left() + TextLeft, top, SplashRect.width() - TextLeft - 4, 17);
        top += 18;
        return item;
    };
    lblVersion =
        label("lblVersion", QStringLiteral("Version %1").arg(QStringLiteral(VISTREL_VERSION)));
    lblCompiled =
        label("lblCompiled", QStringLiteral("Compiled: %1").arg(BuildDate().toString(Qt::ISODate)));
    lblCopyright = label("lblCopyright", QStringLiteral("\u00A9 2026 the Vistrel developers"));
    lblMemAvail = label("lblMemAvail", MemoryLabelText(totalMemory));

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    // OK stands in a strip of its own below the picture, so that it never hides
    // part of the splash whatever the font makes of its size.
    const QSize button = btnOK->sizeHint().expandedTo(QSize(75, 25));
    const int buttonTop = SplashRect.bottom() + 1 + Margin;
    btnOK->setGeometry(QRect(QPoint(SplashRect.right() + 1 - button.width(), buttonTop), button));
    setFixedSize(ClientWidth, buttonTop + button.height() + Margin);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vistrel
