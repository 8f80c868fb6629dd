#pragma once

#include <QByteArray>
#include <stdexcept>

namespace vistrel {

class EBinClipboardError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A block on the clipboard under one of our private formats: a 4-byte
// little-endian length, then that many payload bytes.
QByteArray EncodeClipboardBlock(const QByteArray& payload);
// The payload of a block; a block too short for its length field, or one whose
// length claims more bytes than it holds, throws EBinClipboardError.
QByteArray DecodeClipboardBlock(const QByteArray& block);

} // namespace vistrel
