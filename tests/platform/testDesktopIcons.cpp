#include "desktopIcons.h"

#include <QApplication>
#include <QStyle>
#include <gtest/gtest.h>

using namespace vistrel;

namespace {

QImage Argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

// An icon painted on demand paints nothing until asked, then each size once,
// at that size; its disabled look is made as for a picture given to an icon.
TEST(DesktopIcons, AnIconPaintedOnDemandPaintsEachSizeOnceWhenFirstAsked) {
    QList<int> painted;
    const auto paint = [&painted](int size) {
        painted << size;
        QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        // A diagonal: a picture scaled from another size would show it blurred.
        for (int i = 0; i < size; ++i)
            picture.setPixel(i, i, qRgb(0x20, 0x60, 0xC0));
        return picture;
    };
    const QIcon icon = IconPaintedOnDemand(paint, {16, 48});
    EXPECT_TRUE(painted.isEmpty());
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {48, 48}}));

    for (const int size : {16, 24})
        EXPECT_EQ(Argb(icon.pixmap(size)),
                  paint(size).convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << size;
    painted.clear();
    const QImage disabled = Argb(icon.pixmap(QSize(16, 16), QIcon::Disabled));
    EXPECT_TRUE(painted.isEmpty());
    const QImage normal = Argb(icon.pixmap(16));
    EXPECT_NE(disabled, normal);
    EXPECT_EQ(disabled,
              Argb(QIcon(QPixmap::fromImage(paint(16))).pixmap(QSize(16, 16), QIcon::Disabled)));
}

// The program's icon and its documents' icons look as painted, at every size.
TEST(DesktopIcons, TheDesktopIconsAreTheirPicturesAtEverySize) {
    for (const TDesktopIcon kind :
         {TDesktopIcon::Program, TDesktopIcon::Animation, TDesktopIcon::AnimationInfo}) {
        const QIcon icon = DesktopIcon(kind);
        ASSERT_EQ(icon.availableSizes().size(), std::size(DesktopIconSizes));
        for (const int size : {16, 48, 256})
            EXPECT_EQ(Argb(icon.pixmap(size)), PaintDesktopIcon(kind, size)) << size;
    }
}
