#include "exportFrames.h"
#include "unitAnimation.h"

#include <gif_lib.h>
#include <memory>

namespace vistrel {

namespace {

// giflib writes through this into memory; the bytes reach the disk in one
// complete save afterwards.
int AppendToBuffer(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

GifColorType GifColour(QRgb colour) {
    return {static_cast<GifByteType>(qRed(colour)), static_cast<GifByteType>(qGreen(colour)),
            static_cast<GifByteType>(qBlue(colour))};
}

QString GifError(int code) {
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

bool PutLoopExtension(GifFileType* gif, int loopCount) {
    static const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A',
                                              'P', 'E', '2', '.', '0'};
    const GifByteType loop[] = {1, static_cast<GifByteType>(loopCount & 0xFF),
                                static_cast<GifByteType>(loopCount >> 8)};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof application, application) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, const FramePixels& pixels, int scale, int delay) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    const int width = FrameWidth * scale;
    const int height = FrameHeight * scale;
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            line[static_cast<std::size_t>(x)] =
                pixels[static_cast<std::size_t>(PixelIndex(x / scale, y / scale))] == 1 ? 1 : 0;
        if (EGifPutLine(gif, line.data(), width) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

bool TAnimationExport::ExportGif(const QString& target) {
    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, AppendToBuffer, &error));
    if (!gif)
        return Fail(target, GifError(error));
    const GifColorType colours[] = {GifColour(m_options.Colours.Unlit),
                                    GifColour(m_options.Colours.Lit)};
    const std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(2, colours));
    if (!map)
        return Fail(target, GifError(E_GIF_ERR_NOT_ENOUGH_MEM));
    EGifSetGifVersion(gif.get(), true);
    const int scale = m_options.Scale;
    const std::optional<int> loopCount = GifLoopCount(m_animation.RepeatCount);
    if (EGifPutScreenDesc(gif.get(), FrameWidth * scale, FrameHeight * scale, 1, 0, map.get()) !=
            GIF_OK ||
        (loopCount && !PutLoopExtension(gif.get(), *loopCount)))
        return Fail(target, GifError(gif->Error));
    const std::vector<int> delays = GifDelays(m_animation, m_options.PlayerFPS);
    for (int i = 0; i < m_animation.FrameCount(); ++i) {
        if (!PutFrame(gif.get(), Pixels(i), scale, delays[static_cast<std::size_t>(i)]))
            return Fail(target, GifError(gif->Error));
        Report(i + 1);
    }
    // Closing writes the trailer into the buffer.
    if (EGifCloseFile(gif.release(), &error) != GIF_OK)
        return Fail(target, GifError(error));
    return WriteFile(target, bytes);
}

} // namespace vistrel
