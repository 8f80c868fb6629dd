#include "exportFixtures.h"

#include <QDir>

namespace vistrel::testing {

void FillScattered(TAnimation& animation, std::initializer_list<int> durations) {
    for (const int duration : durations) {
        animation.AddFrame();
        const int index = animation.FrameCount() - 1;
        TFrame& frame = animation.Frame(index);
        frame.SetDuration(static_cast<std::uint8_t>(duration));
        unsigned seed = 2654435761u * static_cast<unsigned>(index + 1);
        for (auto& pixel : frame.Pixels) {
            seed = seed * 1103515245u + 12345u;
            pixel = (seed >> 16) % 3 == 0 ? 1 : 0;
        }
        animation.PaintCell(index);
    }
}

void FillScattered(TAnimation& animation, int frameCount) {
    for (int i = 0; i < frameCount; ++i)
        FillScattered(animation, {1});
}

bool ShowsFrame(const QImage& picture, QPoint origin, const TFrame& frame, int scale, QRgb lit,
                QRgb unlit) {
    for (int y = 0; y < FrameHeight * scale; ++y)
        for (int x = 0; x < FrameWidth * scale; ++x) {
            const bool on =
                frame.Pixels[static_cast<std::size_t>(PixelIndex(x / scale, y / scale))] == 1;
            if ((picture.pixel(origin.x() + x, origin.y() + y) | 0xFF000000) !=
                ((on ? lit : unlit) | 0xFF000000))
                return false;
        }
    return true;
}

TFrame TurnedFrame(const TFrame& frame) {
    TFrame turned;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            turned.Pixels[static_cast<std::size_t>(
                PixelIndex(FrameWidth - 1 - x, FrameHeight - 1 - y))] =
                frame.Pixels[static_cast<std::size_t>(PixelIndex(x, y))];
    return turned;
}

int PackedDotsWrong(const QByteArray& bytes, int offset, const TFrame& frame) {
    if (bytes.size() < offset + 192)
        return FramePixelCount;
    int wrong = 0;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x) {
            const bool set = static_cast<uchar>(bytes[offset + y * 6 + x / 8]) >> (7 - x % 8) & 1;
            wrong += set != (frame.Pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1);
        }
    return wrong;
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace vistrel::testing
