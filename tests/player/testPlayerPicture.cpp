#include "modelFixtures.h"
#include "playerButtonPictures.h"
#include "playerPicture.h"
#include "unitAnimation.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// Frames with these dots lit, each dot an x on row 0.
void AddFrame(TAnimation& animation, std::initializer_list<int> litColumns) {
    animation.AddFrame();
    const int index = animation.FrameCount() - 1;
    for (const int x : litColumns)
        animation.Frame(index).Pixels[static_cast<std::size_t>(PixelIndex(x, 0))] = 1;
    animation.PaintCell(index);
}

// Row 0, columns 0..3 of the picture: '#' lit, '+' fading, '.' off.
std::string Dots(const QImage& picture) {
    std::string dots;
    for (int x = 0; x < 4; ++x) {
        const QRgb colour = picture.pixel(x, 0);
        dots += colour == TPlayerPicture::Lit      ? '#'
                : colour == TPlayerPicture::Fading ? '+'
                : colour == TPlayerPicture::Unlit  ? '.'
                                                   : '?';
    }
    return dots;
}

} // namespace

TEST(PlayerPicture, ASwitchedOffDotFadesForExactlyOnePicture) {
    TAnimation animation;
    AddFrame(animation, {0, 1}); // frame 0
    AddFrame(animation, {1, 2}); // frame 1
    AddFrame(animation, {});     // frame 2
    struct Case {
        bool blur;
        std::vector<std::string> pictures; // after composing frames 0, 1, 2, 2
    };
    const Case cases[] = {
        // The first picture has no ghost; a dot lit again is black, not silver.
        {true, {"##..", "+##.", ".++.", "...."}},
        {false, {"##..", ".##.", "....", "...."}},
    };
    for (const Case& c : cases) {
        TPlayerPicture picture;
        std::vector<std::string> pictures;
        for (const int frame : {0, 1, 2, 2}) {
            picture.Compose(animation, frame, c.blur);
            pictures.push_back(Dots(picture.Composite()));
        }
        EXPECT_EQ(pictures, c.pictures) << (c.blur ? "blur" : "no blur");
    }
}

TEST(PlayerButtonPictures, EveryButtonHasItsOwnPictureAndAGreyDisabledOne) {
    const QList<QPixmap> enabled = PlayerImageList(true);
    const QList<QPixmap> disabled = PlayerImageList(false);
    ASSERT_EQ(enabled.size(), PlayerPictureCount);
    ASSERT_EQ(disabled.size(), PlayerPictureCount);
    std::vector<QImage> seen;
    for (int i = 0; i < PlayerPictureCount; ++i) {
        const QImage on = enabled[i].toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage off = disabled[i].toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(on.size(), QSize(PlayerPictureSize, PlayerPictureSize)) << i;
        for (const QImage& other : seen)
            EXPECT_NE(on, other) << "picture " << i << " repeats another";
        seen.push_back(on);
        EXPECT_NE(on, off) << i;
        int drawn = 0;
        for (int y = 0; y < off.height(); ++y)
            for (int x = 0; x < off.width(); ++x) {
                const QColor colour = off.pixelColor(x, y);
                if (colour.alpha() == 0)
                    continue;
                ++drawn;
                EXPECT_TRUE(colour.red() == colour.green() && colour.green() == colour.blue())
                    << "disabled picture " << i << " has colour at " << x << "," << y;
            }
        EXPECT_GT(drawn, 12) << i;
    }
}
