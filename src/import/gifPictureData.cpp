#include "gifPictureData.h"

#include <QByteArray>
#include <QIODevice>
#include <array>
#include <cstdint>

namespace vistrel {

TGifPictureData ReadGifPictureData(QIODevice& device, qint64 pixels) {
    char sizeByte = 0;
    if (!device.getChar(&sizeByte))
        return TGifPictureData::FileEnds;
    const int minimumCodeSize = static_cast<std::uint8_t>(sizeByte);
    if (minimumCodeSize < 1 || minimumCodeSize > 11)
        return TGifPictureData::Damaged;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    constexpr int MaxCodes = 4096;
    std::array<qint64, MaxCodes> lengths; // pixels each code stands for
    lengths.fill(1);
    int codeSize = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    qint64 decoded = 0;
    std::uint32_t bitBuffer = 0;
    int bitCount = 0;
    // The data come in sub-blocks of up to 255 bytes, each read whole; a block
    // cut short by the end of the file is still counted, since the codes it
    // holds may finish the picture.
    QByteArray block;
    qsizetype at = 0;
    bool fileEnded = false;
    while (decoded < pixels) {
        while (bitCount < codeSize) {
            if (at == block.size()) {
                char size = 0;
                if (fileEnded || !device.getChar(&size))
                    return TGifPictureData::FileEnds;
                if (size == 0)
                    return TGifPictureData::DataEnd;
                const int wanted = static_cast<std::uint8_t>(size);
                block = device.read(wanted);
                fileEnded = block.size() != wanted;
                if (block.isEmpty())
                    return TGifPictureData::FileEnds;
                at = 0;
            }
            bitBuffer |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(block[at++]))
                         << bitCount;
            bitCount += 8;
        }
        const int code = static_cast<int>(bitBuffer & ((1u << codeSize) - 1));
        bitBuffer >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return TGifPictureData::DataEnd;
        qint64 length = 1;
        if (previous >= 0) {
            if (code < next)
                length = lengths[static_cast<std::size_t>(code)];
            else if (code == next)
                length = lengths[static_cast<std::size_t>(previous)] + 1;
            else
                return TGifPictureData::Damaged;
            if (next < MaxCodes) {
                lengths[static_cast<std::size_t>(next)] =
                    lengths[static_cast<std::size_t>(previous)] + 1;
                ++next;
                if (next == 1 << codeSize && codeSize < 12)
                    ++codeSize;
            }
        } else if (code > clear) {
            return TGifPictureData::Damaged;
        }
        decoded += length;
        previous = code;
    }
    return TGifPictureData::Complete;
}

bool SkipGifSubBlocks(QIODevice& device) {
    for (;;) {
        char size = 0;
        if (!device.getChar(&size))
            return false;
        if (size == 0)
            return true;
        const int count = static_cast<std::uint8_t>(size);
        if (device.skip(count) != count)
            return false;
    }
}

} // namespace vistrel
