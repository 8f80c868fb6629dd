#include "unitLCDFile.h"

#include <QIODevice>
#include <algorithm>

namespace vistrel {

namespace {

constexpr std::array<std::uint8_t, LCDLayout::HeaderSize> DefaultHeader{
    'L', 'C', 'D', 'i', 1, 0, FrameWidth, 0, FrameHeight, 0, 1, 0, 0, 0, 0, 0};

template <typename Bytes> bool ReadExactly(QIODevice& stream, Bytes& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return stream.read(reinterpret_cast<char*>(bytes.data()), size) == size;
}

template <typename Bytes> bool WriteExactly(QIODevice& stream, const Bytes& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return stream.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

} // namespace

TLCDFile::TLCDFile() : Header(DefaultHeader), CreatorText(OwnCreatorText) {}

void TLCDFile::SetFrameCount(int count) {
    count = std::clamp(count, 0, LCDLayout::MaxLCDFrames);
    Frames.resize(static_cast<std::size_t>(count));
    Header[LCDLayout::FrameCountOffset] = static_cast<std::uint8_t>(count);
}

bool TLCDFile::LoadFromStream(QIODevice& stream) {
    Kind = KindUnread;
    if (!ReadExactly(stream, Header))
        return false;
    const int count = Header[LCDLayout::FrameCountOffset];
    Frames.assign(static_cast<std::size_t>(count), TLCDFrame{});
    // Records and blocks of a cut file come up short; the creator text read below
    // then fails, which is the one check the format needs.
    for (auto& frame : Frames)
        ReadExactly(stream, frame.Info);
    for (auto& frame : Frames)
        ReadExactly(stream, frame.Pixels);
    CreatorText = stream.read(LCDLayout::CreatorTextSize);
    if (CreatorText.size() != LCDLayout::CreatorTextSize)
        return false;
    Kind = CreatorText.toUpper().contains("DREAM ANIMATOR") ? KindDreamAnimator : KindOther;
    return true;
}

bool TLCDFile::SaveToStream(QIODevice& stream) {
    Kind = KindOther;
    if (!WriteExactly(stream, Header))
        return false;
    bool written = true;
    for (const auto& frame : Frames)
        written = WriteExactly(stream, frame.Info) && written;
    for (const auto& frame : Frames)
        written = WriteExactly(stream, frame.Pixels) && written;
    CreatorText = QByteArray(OwnCreatorText);
    // A short frame write fails the save as well: a file missing frame bytes would
    // not load again.
    return WriteExactly(stream, CreatorText) && written;
}

} // namespace vistrel
