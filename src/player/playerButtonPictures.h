#pragma once

#include <QList>
#include <QPixmap>

namespace vistrel {

// Positions of the player toolbar's pictures in its two image lists.
enum TPlayerPictureIndex : int {
    PicturePlay = 0,
    PicturePause = 1,
    PictureStop = 2,
    PictureFirst = 3,
    PicturePrev = 4,
    PictureNext = 5,
    PictureLast = 6,
    PictureZoom = 7,
    PicturePlaySelection = 8,
    PlayerPictureCount = 9,
};

inline constexpr int PlayerPictureSize = 16;

// The player toolbar's pictures, drawn in code: as shown on an enabled button
// (imglstPlayerEn) or greyed and embossed for a disabled one (imglstPlayerDis).
QList<QPixmap> PlayerImageList(bool enabled);

} // namespace vistrel
