// Any bytes as a recovery file. The input's last four bytes are replaced by the
// checksum of the rest, so the fuzzer reaches the fields behind it: the reader
// either refuses the bytes with a reason and leaves the document and its details
// as they were, or gives a document within the limits whose own recovery file
// reads back to the same document.

#include "fuzzChecks.h"
#include "recoveryFile.h"

#include <cstdint>

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

// CRC-32 as zlib computes it, bit by bit: apart from the reader's table.
std::uint32_t Crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

QByteArray Resealed(QByteArray bytes) {
    if (bytes.size() < 4)
        return bytes;
    const std::uint32_t crc = Crc32(bytes.left(bytes.size() - 4));
    for (int i = 0; i < 4; ++i)
        bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i) & 0xFF);
    return bytes;
}

bool SameDocument(const TAnimation& a, const TAnimation& b) {
    if (a.FrameCount() != b.FrameCount() || a.RepeatCount != b.RepeatCount)
        return false;
    for (int i = 0; i < a.FrameCount(); ++i) {
        const TFrame& x = a.Frame(i);
        const TFrame& y = b.Frame(i);
        if (x.Duration() != y.Duration() || x.Pixels != y.Pixels || x.RedLayer() != y.RedLayer() ||
            x.BlueLayer() != y.BlueLayer())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    const QByteArray bytes = Resealed(Bytes(data, size));
    TAnimation animation;
    animation.AddFrame();
    animation.Frame(0).SetDuration(7);
    TRecoveryInfo info;
    info.FileName = QStringLiteral("/before/walk.lcd");
    info.CurrentFrame = 0;
    QString reason;
    if (!ReadRecoveryBytes(bytes, animation, info, &reason)) {
        Require(!reason.isEmpty(), "a refused recovery file gave no reason");
        Require(animation.FrameCount() == 1 && animation.Frame(0).Duration() == 7,
                "a refused recovery file changed the document");
        Require(info.FileName == QLatin1String("/before/walk.lcd") && info.CurrentFrame == 0,
                "a refused recovery file changed the document's details");
        return 0;
    }
    CheckDocument(animation);
    Require(info.CurrentFrame >= -1 && info.CurrentFrame < animation.FrameCount(),
            "the current frame is not a frame of the document");
    const QByteArray again = RecoveryFileBytes(animation, info);
    TAnimation second;
    TRecoveryInfo secondInfo;
    Require(ReadRecoveryBytes(again, second, secondInfo), "a written recovery file is refused");
    Require(SameDocument(animation, second), "a written recovery file reads back otherwise");
    Require(secondInfo.FileName == info.FileName && secondInfo.CurrentFrame == info.CurrentFrame &&
                secondInfo.UntitledNumber == info.UntitledNumber,
            "a written recovery file reads back other details");
    return 0;
}
