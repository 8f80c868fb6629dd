// Any bytes as a picture another program put on the clipboard, decoded as BMP or
// PNG as the first byte says: either refused with a reason, or a picture of 1 to
// FuzzMaxSide pixels a side in which every pixel is exact black or white.

#include "fuzzChecks.h"
#include "pixelClipboard.h"

using namespace vistrel;
using namespace vistrel::fuzz;

// Below the program's limit, so that headers claiming large pictures are refused
// rather than decoded into tens of megabytes for every input; the size check
// itself is the same at any limit.
constexpr int FuzzMaxSide = 64;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    if (size == 0)
        return 0;
    const char* format = data[0] % 2 == 0 ? "BMP" : "PNG";
    QString error;
    const std::optional<QImage> picture =
        DecodePastedPicture(Bytes(data + 1, size - 1), format, error, FuzzMaxSide);
    if (!picture) {
        Require(!error.isEmpty(), "a refused picture gave no reason");
        return 0;
    }
    Require(picture->width() >= 1 && picture->height() >= 1, "an empty picture was accepted");
    Require(picture->width() <= FuzzMaxSide && picture->height() <= FuzzMaxSide,
            "a picture above the size limit was accepted");
    for (int y = 0; y < picture->height(); ++y)
        for (int x = 0; x < picture->width(); ++x) {
            const QRgb pixel = picture->pixel(x, y);
            Require(pixel == 0xFF000000 || pixel == 0xFFFFFFFF,
                    "a pixel is neither black nor white");
        }
    return 0;
}
