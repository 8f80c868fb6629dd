#include "clipboardBlock.h"

#include <QtEndian>
#include <algorithm>

namespace vistrel {

namespace {

constexpr qsizetype LengthFieldSize = 4;

} // namespace

QByteArray EncodeClipboardBlock(const QByteArray& payload) {
    QByteArray block(LengthFieldSize + payload.size(), Qt::Uninitialized);
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), block.data());
    std::copy(payload.cbegin(), payload.cend(), block.begin() + LengthFieldSize);
    return block;
}

QByteArray DecodeClipboardBlock(const QByteArray& block) {
    if (block.size() < LengthFieldSize)
        throw EBinClipboardError("Invalid data in Clipboard!");
    const quint32 length = qFromLittleEndian<quint32>(block.constData());
    // The holder may hand back a larger block than was put; the length field says
    // where the payload ends. A length beyond the block is refused before any copy.
    if (static_cast<quint64>(length) > static_cast<quint64>(block.size() - LengthFieldSize))
        throw EBinClipboardError("Invalid data in Clipboard!");
    return block.mid(LengthFieldSize, static_cast<qsizetype>(length));
}

} // namespace vistrel
