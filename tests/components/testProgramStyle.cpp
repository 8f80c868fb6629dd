#include "programStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <gtest/gtest.h>
#include <memory>

using namespace vistrel;

namespace {

QImage Picture(const QIcon& icon, int size) {
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// The pictures read later are the style's own, in each direction and size;
// the other pictures come straight from the style.
TEST(ProgramStyle, TheButtonPicturesReadLaterAreTheStylesOwn) {
    TProgramStyle style(QStringLiteral("Fusion"));
    const std::unique_ptr<QStyle> own(QStyleFactory::create(QStringLiteral("Fusion")));
    for (const QStyle::StandardPixmap picture :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_TitleBarNormalButton, QStyle::SP_TitleBarCloseButton,
          QStyle::SP_MessageBoxWarning}) {
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = direction;
            const QIcon later = style.standardIcon(picture, &option);
            const QIcon now = own->standardIcon(picture, &option);
            EXPECT_FALSE(later.isNull());
            for (const int size : {16, 32})
                EXPECT_EQ(Picture(later, size), Picture(now, size))
                    << picture << " " << direction << " " << size;
        }
    }
    // The arrow of the menu bar's overflow button points the other way right to left.
    QStyleOption rightToLeft;
    rightToLeft.direction = Qt::RightToLeft;
    EXPECT_NE(
        Picture(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft), 16),
        Picture(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), 16));
}
