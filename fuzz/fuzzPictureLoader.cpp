// Any bytes as a picture file (JPEG, BMP, ICO, PNG or GIF): the loader either
// refuses them with a reason or gives an opaque 32-bit picture within the pixel
// limit, and the importer turns that picture into a frame of black and white
// dots at every scale. A JPEG scaled as it decodes matches the one scaled after.

#include "boxResampler.h"
#include "fuzzChecks.h"
#include "jpegDecoder.h"
#include "pictureLoader.h"
#include "unitImportFrame.h"

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

// Small enough that a header claiming a large picture is refused quickly and
// that no input spends the run scaling a big picture (the box filter is the
// same at every size), large enough for every seed and more.
constexpr std::int64_t FuzzPixelLimit = 65'536;

void CheckPicture(const TPictureLoad& load) {
    if (!load.Loaded()) {
        Require(!load.Reason.isEmpty(), "a refused picture without a reason");
        return;
    }
    const QImage& picture = load.Picture;
    Require(picture.format() == QImage::Format_RGB32, "a picture not in the import layout");
    Require(std::int64_t{picture.width()} * picture.height() <= FuzzPixelLimit,
            "a picture above the pixel limit");
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            Require(qAlpha(row[x]) == 255, "a pixel that is not opaque");
    }
}

void CheckFrame(const TImportFrame& importer) {
    const QImage& output = importer.Output();
    Require(output.size() == QSize(FrameWidth, FrameHeight), "a frame of the wrong size");
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x) {
            const QRgb pixel = output.pixel(x, y) & 0xFFFFFF;
            Require(pixel == 0 || pixel == 0xFFFFFF, "a frame dot neither black nor white");
        }
    const QRect grab = importer.GrabRect();
    Require(QRect(QPoint(0, 0), importer.Scaled().size()).contains(grab),
            "the frame window outside the picture");
}

// A JPEG scaled row by row as it decodes is refused exactly when the full-size
// load is, and otherwise gives the full-size picture box-filtered.
void CheckScaledAsDecoded(const std::uint8_t* data, std::size_t size, const TPictureLoad& full) {
    QBuffer buffer;
    buffer.setData(Bytes(data, size));
    buffer.open(QIODevice::ReadOnly);
    const TTargetSize third = [](QSize shown) {
        return QSize(std::max(shown.width() / 3, 1), std::max(shown.height() / 3, 1));
    };
    const TPictureLoad scaled = DecodeJpeg(buffer, FuzzPixelLimit, third);
    Require(scaled.Loaded() == full.Loaded(), "scaling while decoding changed whether it loads");
    if (full.Loaded())
        Require(scaled.Picture == ResampleBox(full.Picture, third(full.Picture.size())),
                "scaling while decoding gave other pixels than scaling after");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    QBuffer buffer;
    buffer.setData(Bytes(data, size));
    buffer.open(QIODevice::ReadOnly);
    // Icons carry no strong signature: the hint lets the icon reader try what
    // no other reader recognises, as a file named .ico would.
    const TPictureLoad load = ReadPicture(buffer, "ico", FuzzPixelLimit);
    CheckPicture(load);
    if (LooksLikeJpeg(Bytes(data, size).left(3)))
        CheckScaledAsDecoded(data, size, load);
    if (!load.Loaded())
        return 0;

    TImportFrame importer;
    importer.SetMethod(TImportFrame::Quantization);
    Require(importer.SetPicture(load.Picture), "the importer refused a loaded picture");
    CheckFrame(importer);
    importer.SetScale(TImportFrame::ScaleToFit);
    importer.MoveWindowTo({1 << 20, 1 << 20});
    CheckFrame(importer);
    importer.SetScale(1);
    CheckFrame(importer);
    return 0;
}
