#include "exportFrames.h"
#include "unitAnimation.h"

#include <QFileInfo>

namespace vistrel {

namespace {

constexpr int BytesPerLine = 12;

// The bytes as initialisers, BytesPerLine a line: hexadecimal for dots,
// decimal for durations.
QString ByteList(const QByteArray& bytes, const QString& indent, bool hex) {
    QString text;
    for (int i = 0; i < bytes.size(); ++i) {
        if (i % BytesPerLine == 0)
            text += indent;
        const auto byte = static_cast<uchar>(bytes[i]);
        text += hex ? QStringLiteral("0x%1,").arg(byte, 2, 16, QLatin1Char('0'))
                    : QStringLiteral("%1,").arg(byte);
        text += (i % BytesPerLine == BytesPerLine - 1 || i == bytes.size() - 1) ? u'\n' : u' ';
    }
    return text;
}

// A name inside a C comment must not end it.
QString CommentSafe(const QString& text) {
    return QString(text).replace(QStringLiteral("*/"), QStringLiteral("* /"));
}

} // namespace

bool TAnimationExport::ExportCHeader(const QString& target) {
    const QString name = CIdentifier(QFileInfo(target).completeBaseName());
    const QString macro = name.toUpper();
    const int count = m_animation.FrameCount();
    const QString source = m_options.SourceName.isEmpty()
                               ? QString()
                               : QStringLiteral(" from ") + CommentSafe(m_options.SourceName);
    QString text;
    text += QStringLiteral(
                "/* %1: an animation for the LCD of a console memory card, written by "
                "Vistrel%2.\n"
                " *\n"
                " * %3_FRAME_COUNT frames of %3_WIDTH x %3_HEIGHT dots play in order;\n"
                " * %4_durations[i] is frame i's time in ticks (a tick lasts 1/%5 second at\n"
                " * the speed it was exported with). %3_REPEAT_COUNT is how many times the\n"
                " * animation plays, 255 meaning forever.\n"
                " *\n"
                " * %4_frames[i] holds frame i's dots in %3_FRAME_BYTES bytes: 32 rows from\n"
                " * top to bottom, 6 bytes a row, 8 dots a byte, the most significant bit\n"
                " * being the leftmost dot; a set bit is a lit dot.%6\n"
                " */\n")
                .arg(CommentSafe(QFileInfo(target).fileName()), source, macro, name)
                .arg(m_options.PlayerFPS)
                .arg(m_options.Rotate180
                         ? QStringLiteral(" Every frame is turned upside down,\n"
                                          " * for a memory card seated in a controller.")
                         : QString());
    text += QStringLiteral("#ifndef %1_H\n#define %1_H\n\n#include <stdint.h>\n\n").arg(macro);
    text += QStringLiteral("#define %1_FRAME_COUNT %2\n").arg(macro).arg(count);
    text += QStringLiteral("#define %1_WIDTH %2\n").arg(macro).arg(FrameWidth);
    text += QStringLiteral("#define %1_HEIGHT %2\n").arg(macro).arg(FrameHeight);
    text += QStringLiteral("#define %1_FRAME_BYTES %2\n").arg(macro).arg(PackedFrameBytes);
    text +=
        QStringLiteral("#define %1_REPEAT_COUNT %2\n\n").arg(macro).arg(m_animation.RepeatCount);
    QByteArray durations;
    for (int i = 0; i < count; ++i)
        durations.append(static_cast<char>(m_animation.Frame(i).Duration()));
    text +=
        QStringLiteral("static const uint8_t %1_durations[%2_FRAME_COUNT] = {\n").arg(name, macro);
    text += ByteList(durations, QStringLiteral("    "), false);
    text +=
        QStringLiteral("};\n\nstatic const uint8_t %1_frames[%2_FRAME_COUNT][%2_FRAME_BYTES] = {\n")
            .arg(name, macro);
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("    { /* frame %1 */\n").arg(i);
        text += ByteList(PackFrame(Pixels(i)), QStringLiteral("        "), true);
        text += QStringLiteral("    },\n");
        Report(i + 1);
    }
    text += QStringLiteral("};\n\n#endif /* %1_H */\n").arg(macro);
    return WriteFile(target, text.toUtf8());
}

bool TAnimationExport::ExportBinary(const QString& target) {
    QByteArray bytes;
    bytes.reserve(m_animation.FrameCount() * PackedFrameBytes);
    for (int i = 0; i < m_animation.FrameCount(); ++i) {
        bytes += PackFrame(Pixels(i));
        Report(i + 1);
    }
    return WriteFile(target, bytes);
}

} // namespace vistrel
