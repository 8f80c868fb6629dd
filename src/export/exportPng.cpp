#include "exportFrames.h"
#include "unitAnimation.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>

namespace vistrel {

namespace {

// Encodes a picture as PNG bytes; empty when the encoder failed.
QByteArray PngBytes(const QImage& image, QString& reason) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        reason = writer.errorString();
        return {};
    }
    return bytes;
}

} // namespace

bool TAnimationExport::ExportSheet(const QString& target) {
    const int count = m_animation.FrameCount();
    const int columns = m_options.Columns > 0 ? std::min(m_options.Columns, count) : count;
    const int rows = (count + columns - 1) / columns;
    const int cellWidth = FrameWidth * m_options.Scale;
    const int cellHeight = FrameHeight * m_options.Scale;
    QImage sheet(cellWidth * columns, cellHeight * rows, QImage::Format_Mono);
    if (sheet.isNull())
        return Fail(target, QStringLiteral("the sheet is too large to hold in memory"));
    sheet.setColorTable({m_options.Colours.Unlit, m_options.Colours.Lit});
    // Cells past the last frame of the grid stay unlit.
    sheet.fill(0);
    for (int i = 0; i < count; ++i) {
        const QImage frame = RenderFrame(Pixels(i), m_options.Scale, m_options.Colours);
        PlaceFrame(sheet, frame, QPoint(i % columns * cellWidth, i / columns * cellHeight));
        Report(i + 1);
    }
    QString reason;
    const QByteArray bytes = PngBytes(sheet, reason);
    if (bytes.isEmpty())
        return Fail(target, reason);
    return WriteFile(target, bytes);
}

QString TAnimationExport::FrameFileName(const QString& target, int index) {
    const QFileInfo info(target);
    return info.dir().filePath(QStringLiteral("%1_%2.png")
                                   .arg(info.completeBaseName())
                                   .arg(index, 3, 10, QLatin1Char('0')));
}

bool TAnimationExport::ExportFrames(const QString& target) {
    // Every frame is encoded before the first file is touched, so a failure of
    // the encoder changes nothing on disk.
    std::vector<QByteArray> files;
    for (int i = 0; i < m_animation.FrameCount(); ++i) {
        QString reason;
        files.push_back(
            PngBytes(RenderFrame(Pixels(i), m_options.Scale, m_options.Colours), reason));
        if (files.back().isEmpty())
            return Fail(FrameFileName(target, i), reason);
        Report(i + 1);
    }
    for (int i = 0; i < static_cast<int>(files.size()); ++i)
        if (!WriteFile(FrameFileName(target, i), files[static_cast<std::size_t>(i)])) {
            m_error += QStringLiteral(" (%1 of %2 frames were written)")
                           .arg(i)
                           .arg(m_animation.FrameCount());
            return false;
        }
    return true;
}

} // namespace vistrel
