#include "fileNames.h"

#include <QFileInfo>

namespace vistrel {

namespace {

// Byte B that is not part of valid UTF-8 stands as U+DC00 + B; such bytes are
// 0x80 and above.
constexpr char16_t StandInBase = 0xDC00;
constexpr char16_t FirstForeignByte = StandInBase + 0x80;
constexpr char16_t LastForeignByte = StandInBase + 0xFF;

bool IsForeignByte(char16_t unit) {
    return unit >= FirstForeignByte && unit <= LastForeignByte;
}

// The code point of the UTF-8 sequence at bytes[i], and its length; length 0
// when the bytes there are not a valid, shortest-form sequence.
struct Decoded {
    char32_t codePoint = 0;
    int length = 0;
};

Decoded DecodeAt(const QByteArray& bytes, qsizetype i) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80)
        return {lead, 1};
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {};
    }
    if (i + length > bytes.size())
        return {};
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < smallest || surrogate || codePoint > 0x10FFFF)
        return {};
    return {codePoint, length};
}

void AppendUtf8(QByteArray& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

qsizetype ExtensionLength(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? 0 : name.size() - dot;
}

QString FileNameFromBytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const Decoded decoded = DecodeAt(bytes, i);
        if (decoded.length == 0) {
            name +=
                QChar(static_cast<char16_t>(StandInBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        // Appended by hand: QString::fromUcs4 would drop a leading byte order mark.
        if (QChar::requiresSurrogates(decoded.codePoint)) {
            name += QChar(QChar::highSurrogate(decoded.codePoint));
            name += QChar(QChar::lowSurrogate(decoded.codePoint));
        } else {
            name += QChar(static_cast<char16_t>(decoded.codePoint));
        }
        i += decoded.length;
    }
    return name;
}

QByteArray FileNameToBytes(const QString& fileName) {
    QByteArray bytes;
    bytes.reserve(fileName.size());
    const qsizetype size = fileName.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = fileName[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size &&
            QChar::isLowSurrogate(fileName[i + 1].unicode())) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, fileName[i + 1].unicode()));
            ++i;
        } else if (IsForeignByte(unit)) {
            bytes += static_cast<char>(unit - StandInBase);
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(bytes, QChar::ReplacementCharacter);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

QStringList CommandLineArguments(int argc, const char* const argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameFromBytes(QByteArray(argv[i]));
    return arguments;
}

bool HasForeignBytes(const QString& fileName) {
    for (qsizetype i = 0; i < fileName.size(); ++i) {
        const char16_t unit = fileName[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < fileName.size() &&
            QChar::isLowSurrogate(fileName[i + 1].unicode()))
            ++i;
        else if (IsForeignByte(unit))
            return true;
    }
    return false;
}

} // namespace vistrel
