#include "unitVMSFile.h"

#include <QIODevice>

namespace vistrel {

namespace {

constexpr std::uint8_t MarkerByte = 0x22;
constexpr std::uint8_t HighByteTag = 0x60;
constexpr std::uint8_t LowByteTag = 0x61;
constexpr std::uint8_t ScriptedVersion = 1;

bool ReadByte(QIODevice& stream, std::uint8_t& value) {
    char c = 0;
    if (!stream.getChar(&c))
        return false;
    value = static_cast<std::uint8_t>(c);
    return true;
}

bool ReadBigEndian16(QIODevice& stream, std::uint16_t& value) {
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    if (!ReadByte(stream, high) || !ReadByte(stream, low))
        return false;
    value = static_cast<std::uint16_t>(high << 8 | low);
    return true;
}

template <typename Bytes> bool ReadExactly(QIODevice& stream, Bytes& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return stream.read(reinterpret_cast<char*>(bytes.data()), size) == size;
}

} // namespace

std::uint16_t TVMSFile::FindDataStart(QIODevice& stream) {
    enum class State { Scanning, AfterMarker, HighByte, LowByte };
    State state = State::Scanning;
    std::uint16_t value = 0;
    if (!stream.seek(0))
        return 0;
    // Read in blocks: the scan may run through a whole file without a marker.
    while (true) {
        const QByteArray block = stream.read(64 * 1024);
        if (block.isEmpty())
            return value;
        for (const char c : block) {
            const auto byte = static_cast<std::uint8_t>(c);
            switch (state) {
            case State::Scanning:
                if (byte == MarkerByte)
                    state = State::AfterMarker;
                break;
            case State::AfterMarker:
                state = byte == HighByteTag  ? State::HighByte
                        : byte == LowByteTag ? State::LowByte
                                             : State::Scanning;
                break;
            case State::HighByte:
                value = static_cast<std::uint16_t>((value & 0x00FF) | byte << 8);
                state = State::Scanning;
                break;
            case State::LowByte:
                return static_cast<std::uint16_t>((value & 0xFF00) | byte);
            }
        }
    }
}

bool TVMSFile::LoadFromStream(QIODevice& stream) {
    Kind = KindNone;
    if (stream.size() > MaxFileSize)
        return false;
    const std::uint16_t dataStart = FindDataStart(stream);
    if (dataStart == 0)
        return false;
    std::uint8_t first = 0;
    if (!stream.seek(dataStart) || !ReadByte(stream, first))
        return false;
    if (first != 0)
        return LoadPlain(stream, dataStart, first);
    std::uint8_t version = 0;
    if (!ReadByte(stream, version))
        return false;
    // Data of another kind: nothing this reader knows, but not a broken file.
    if (version != ScriptedVersion)
        return true;
    return LoadScripted(stream, dataStart);
}

bool TVMSFile::LoadPlain(QIODevice& stream, qint64 dataStart, std::uint8_t repeatCount) {
    Kind = KindPlain;
    RepeatCount = repeatCount;
    std::uint8_t count = 0;
    if (!ReadByte(stream, count))
        return false;
    Frames.assign(count, TVMSFrame{});
    for (int i = 0; i < count; ++i) {
        TVMSFrame& frame = Frames[static_cast<std::size_t>(i)];
        std::uint16_t offset = 0;
        bool complete = ReadByte(stream, frame.Duration) && ReadBigEndian16(stream, offset);
        const qint64 tablePosition = stream.pos();
        complete = complete && stream.seek(dataStart + offset) && ReadExactly(stream, frame.Bits) &&
                   stream.seek(tablePosition);
        if (!complete) {
            Frames.resize(static_cast<std::size_t>(i));
            return false;
        }
    }
    return true;
}

bool TVMSFile::LoadScripted(QIODevice& stream, qint64 dataStart) {
    Kind = KindScripted;
    std::uint16_t count = 0;
    if (!ReadByte(stream, RepeatCount) || !ReadBigEndian16(stream, count))
        return false;
    Commands.assign(count, TVMSCommand{});
    for (auto& command : Commands) {
        std::array<std::uint8_t, 4> bytes{};
        if (!ReadExactly(stream, bytes))
            return false;
        command.Value = static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                   static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    const auto frameBase = static_cast<std::uint16_t>(stream.pos() - dataStart);
    // The frame count is one byte: bitmaps past the 255th are not read.
    Frames.clear();
    while (FrameCount() < MaxBitmaps && !stream.atEnd()) {
        TVMSFrame frame;
        if (!ReadExactly(stream, frame.Bits))
            break;
        Frames.push_back(frame);
    }
    ResolveDrawFrames(frameBase);
    return true;
}

void TVMSFile::ResolveDrawFrames(std::uint16_t frameBase) {
    int maxIndex = 0;
    for (auto& command : Commands) {
        if ((command.Value & 0xFF) != 0)
            continue;
        // The file's big-endian bitmap position sits in bytes 2 and 3 of the value.
        const int position =
            static_cast<int>((command.Value >> 16 & 0xFF) << 8 | command.Value >> 24);
        const int index = (position - frameBase) / VMSBitmapSize; // truncates toward zero
        if (index < 0 || index >= FrameCount()) {
            // A draw of a bitmap the file does not hold: the command stays in the
            // script as draw_frame(0), drawing nothing, and no frame is touched.
            command.Value = 0;
            continue;
        }
        Frames[static_cast<std::size_t>(index)].Duration =
            static_cast<std::uint8_t>(command.Value >> 8 & 0xFF);
        command.Value = static_cast<std::uint32_t>(index + 1) << 8;
        maxIndex = std::max(maxIndex, index);
    }
    // Bitmaps after the last one drawn are dropped; with nothing drawn the first
    // bitmap (or a blank frame) stays.
    Frames.resize(static_cast<std::size_t>(maxIndex + 1));
}

} // namespace vistrel
