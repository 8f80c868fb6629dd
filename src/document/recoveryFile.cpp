#include "recoveryFile.h"

#include "fileNames.h"
#include "localFiles.h"
#include "unitAnimation.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace vistrel {

namespace {

// Layout, all numbers little-endian:
//   magic (16 bytes), version (u16), last change (i64, ms since 1970 UTC),
//   untitled number (u32), current frame (i32), repeat count (u8),
//   source kind (u8), frame count (u16), name length (u32), name bytes,
//   frames (duration u8, layer marks u8, 1536 pixels as bits, first pixel in
//   the high bit), CRC-32 of everything before it (u32).
constexpr char Magic[] = "VISTREL-RECOVERY";
constexpr qsizetype MagicSize = sizeof Magic - 1;
constexpr qsizetype HeaderSize = MagicSize + 2 + 8 + 4 + 4 + 1 + 1 + 2 + 4;
constexpr qsizetype PixelBytes = FramePixelCount / 8;
constexpr qsizetype FrameRecordSize = 2 + PixelBytes;
constexpr qsizetype ChecksumSize = 4;
constexpr std::uint8_t RedMark = 1;
constexpr std::uint8_t BlueMark = 2;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

// The CRC-32 of zlib and PNG, so a file can be checked with common tools.
std::uint32_t Crc32(const char* data, qsizetype size) {
    static constexpr std::array<std::uint32_t, 256> Table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = Table[(c ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void Put(QByteArray& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads little-endian numbers; every read is checked against the end first.
class TReader {
public:
    explicit TReader(const QByteArray& bytes) : m_bytes(bytes) {}

    std::optional<std::uint64_t> Number(int size) {
        if (m_bytes.size() - m_position < size)
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint64_t{static_cast<std::uint8_t>(m_bytes[m_position + i])} << (8 * i);
        m_position += size;
        return value;
    }
    const char* Take(qsizetype size) {
        if (m_bytes.size() - m_position < size)
            return nullptr;
        const char* data = m_bytes.constData() + m_position;
        m_position += size;
        return data;
    }
    qsizetype Position() const { return m_position; }

private:
    const QByteArray& m_bytes;
    qsizetype m_position = 0;
};

struct TFrameRecord {
    std::uint8_t Duration = 1;
    std::uint8_t Marks = 0;
    FramePixels Pixels{};
};

bool Fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

QString Damaged(const QString& what) {
    return QStringLiteral("the recovery file is damaged (%1)").arg(what);
}

} // namespace

QString TRecoveryInfo::DisplayName() const {
    return FileName.isEmpty() ? QStringLiteral("Untitled%1.lcd").arg(UntitledNumber) : FileName;
}

qint64 MaxRecoveryFileSize() {
    return HeaderSize + MaxRecoveryNameBytes + qint64{MaxDocumentFrames} * FrameRecordSize +
           ChecksumSize;
}

QByteArray RecoveryFileBytes(const TAnimation& animation, const TRecoveryInfo& info,
                             const FramePixels* currentPicture) {
    QByteArray name = FileNameToBytes(info.FileName);
    // A name this long cannot be opened anyway; the document is kept, untitled.
    if (name.size() > MaxRecoveryNameBytes)
        name.clear();
    QByteArray bytes;
    bytes.reserve(HeaderSize + name.size() + animation.FrameCount() * FrameRecordSize +
                  ChecksumSize);
    bytes.append(Magic, MagicSize);
    Put(bytes, RecoveryFormatVersion, 2);
    const QDateTime when =
        info.LastChange.isValid() ? info.LastChange : QDateTime::currentDateTimeUtc();
    Put(bytes, static_cast<std::uint64_t>(when.toMSecsSinceEpoch()), 8);
    Put(bytes, static_cast<std::uint32_t>(std::max(info.UntitledNumber, 0)), 4);
    // Always one of the frames, so the file reads back whatever the caller held.
    const int current = animation.FrameCount() == 0
                            ? -1
                            : std::clamp(info.CurrentFrame, 0, animation.FrameCount() - 1);
    Put(bytes, static_cast<std::uint32_t>(current), 4);
    Put(bytes, animation.RepeatCount, 1);
    Put(bytes, static_cast<std::uint8_t>(animation.SourceKind), 1);
    Put(bytes, static_cast<std::uint16_t>(animation.FrameCount()), 2);
    Put(bytes, static_cast<std::uint32_t>(name.size()), 4);
    bytes.append(name);
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const TFrame& frame = animation.Frame(i);
        Put(bytes, frame.Duration(), 1);
        Put(bytes, (frame.RedLayer() ? RedMark : 0) | (frame.BlueLayer() ? BlueMark : 0), 1);
        const FramePixels& pixels = currentPicture && i == current ? *currentPicture : frame.Pixels;
        std::array<char, PixelBytes> bits{};
        for (int p = 0; p < FramePixelCount; ++p)
            if (pixels[static_cast<std::size_t>(p)] == 1)
                bits[static_cast<std::size_t>(p / 8)] |= static_cast<char>(0x80 >> (p % 8));
        bytes.append(bits.data(), PixelBytes);
    }
    Put(bytes, Crc32(bytes.constData(), bytes.size()), 4);
    return bytes;
}

bool ReadRecoveryBytes(const QByteArray& bytes, TAnimation& animation, TRecoveryInfo& info,
                       QString* reason) {
    if (bytes.size() < MagicSize || std::memcmp(bytes.constData(), Magic, MagicSize) != 0)
        return Fail(reason, QStringLiteral("not a Vistrel recovery file"));
    TReader reader(bytes);
    reader.Take(MagicSize);
    const auto version = reader.Number(2);
    if (!version)
        return Fail(reason, Damaged(QStringLiteral("it ends inside its header")));
    if (*version != RecoveryFormatVersion)
        return Fail(reason, QStringLiteral("a recovery file of format %1, which this version of "
                                           "Vistrel cannot read (it reads format %2)")
                                .arg(*version)
                                .arg(RecoveryFormatVersion));
    const auto lastChange = reader.Number(8);
    const auto untitled = reader.Number(4);
    const auto current = reader.Number(4);
    const auto repeat = reader.Number(1);
    const auto sourceKind = reader.Number(1);
    const auto frameCount = reader.Number(2);
    const auto nameSize = reader.Number(4);
    if (!nameSize)
        return Fail(reason, Damaged(QStringLiteral("it ends inside its header")));
    if (*frameCount > MaxDocumentFrames)
        return Fail(reason,
                    Damaged(QStringLiteral("it counts %1 frames, a document holds at most %2")
                                .arg(*frameCount)
                                .arg(MaxDocumentFrames)));
    if (*nameSize > MaxRecoveryNameBytes)
        return Fail(reason,
                    Damaged(QStringLiteral("its file name is %1 bytes long").arg(*nameSize)));
    // Both counts are bounded above, so this cannot overflow.
    const qint64 size = HeaderSize + static_cast<qint64>(*nameSize) +
                        static_cast<qint64>(*frameCount) * FrameRecordSize + ChecksumSize;
    if (bytes.size() < size)
        return Fail(reason, Damaged(QStringLiteral("it ends early, %1 of %2 bytes are there")
                                        .arg(bytes.size())
                                        .arg(size)));
    if (bytes.size() > size)
        return Fail(
            reason,
            Damaged(QStringLiteral("it has %1 bytes after its end").arg(bytes.size() - size)));
    const std::uint32_t checksum =
        static_cast<std::uint32_t>(TReader(bytes.right(ChecksumSize)).Number(4).value_or(0));
    if (checksum != Crc32(bytes.constData(), size - ChecksumSize))
        return Fail(reason, Damaged(QStringLiteral("its checksum does not match")));

    const QByteArray nameBytes(reader.Take(static_cast<qsizetype>(*nameSize)),
                               static_cast<qsizetype>(*nameSize));
    if (nameBytes.contains('\0'))
        return Fail(reason, Damaged(QStringLiteral("its file name holds a zero byte")));
    const int frames = static_cast<int>(*frameCount);
    const int currentFrame = static_cast<std::int32_t>(static_cast<std::uint32_t>(*current));
    if (currentFrame < -1 || currentFrame >= frames || (currentFrame == -1 && frames > 0))
        return Fail(reason,
                    Damaged(QStringLiteral("its current frame %1 is not one of its %2 frames")
                                .arg(currentFrame)
                                .arg(frames)));
    if (*untitled > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
        return Fail(reason, Damaged(QStringLiteral("its untitled number is out of range")));
    std::vector<TFrameRecord> records(static_cast<std::size_t>(frames));
    int red = -1;
    int blue = -1;
    for (int i = 0; i < frames; ++i) {
        TFrameRecord& record = records[static_cast<std::size_t>(i)];
        record.Duration = static_cast<std::uint8_t>(*reader.Number(1));
        record.Marks = static_cast<std::uint8_t>(*reader.Number(1));
        const char* bits = reader.Take(PixelBytes);
        for (int p = 0; p < FramePixelCount; ++p)
            record.Pixels[static_cast<std::size_t>(p)] =
                (static_cast<std::uint8_t>(bits[p / 8]) >> (7 - p % 8)) & 1;
        // A frame holds at most one layer, and each layer is on at most one frame.
        const bool isRed = record.Marks & RedMark;
        const bool isBlue = record.Marks & BlueMark;
        if ((record.Marks & ~(RedMark | BlueMark)) != 0 || (isRed && isBlue) ||
            (isRed && red >= 0) || (isBlue && blue >= 0))
            return Fail(reason, Damaged(QStringLiteral("the layer marks of frame %1").arg(i)));
        if (isRed)
            red = i;
        if (isBlue)
            blue = i;
    }

    animation.Clear();
    animation.RepeatCount = static_cast<std::uint8_t>(*repeat);
    animation.SourceKind = static_cast<int>(*sourceKind);
    for (int i = 0; i < frames; ++i) {
        const TFrameRecord& record = records[static_cast<std::size_t>(i)];
        animation.AddFrame();
        TFrame& frame = animation.Frame(i);
        frame.Pixels = record.Pixels;
        animation.PaintCell(i);
        frame.SetDuration(record.Duration);
    }
    if (red >= 0)
        animation.Frame(red).SetRedLayer(true);
    if (blue >= 0)
        animation.Frame(blue).SetBlueLayer(true);
    animation.BuildScript();
    info.FileName = FileNameFromBytes(nameBytes);
    info.UntitledNumber = static_cast<int>(*untitled);
    info.CurrentFrame = currentFrame;
    info.LastChange = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(*lastChange), Qt::UTC);
    return true;
}

bool SaveRecoveryFile(const QString& fileName, const QByteArray& bytes, QString* reason) {
    return SaveLocalFile(fileName, bytes, reason);
}

bool LoadRecoveryFile(const QString& fileName, TAnimation& animation, TRecoveryInfo& info,
                      QString* reason) {
    QByteArray bytes;
    return ReadLocalFile(fileName, MaxRecoveryFileSize(), bytes, reason) &&
           ReadRecoveryBytes(bytes, animation, info, reason);
}

} // namespace vistrel
