#include "toolCursors.h"

#include <QBitmap>
#include <QImageReader>

namespace vistrel {

namespace {

struct CursorPicture {
    int number;
    const char* name;
    QPoint hotSpot;
};

constexpr CursorPicture Pictures[] = {
    {PenCursor, "pen", {1, 16}},  {CrossCursor, "cross", {10, 10}}, {FillCursor, "fill", {2, 14}},
    {SizeCursor, "size", {9, 9}}, {TextCursor, "text", {3, 7}},     {MoveCursor, "move", {10, 12}},
};

// The pictures are X bitmaps: read as such, no image plugin is loaded to be
// asked whether it knows the file.
QBitmap ReadBitmap(const QString& fileName) {
    QImageReader reader(fileName, "xbm");
    reader.setAutoDetectImageFormat(false);
    return QBitmap::fromImage(reader.read());
}

} // namespace

QCursor ToolCursor(int number) {
    for (const CursorPicture& picture : Pictures) {
        if (picture.number != number)
            continue;
        const QString base = QStringLiteral(":/cursors/%1").arg(QLatin1String(picture.name));
        const QBitmap bitmap = ReadBitmap(base + QStringLiteral(".xbm"));
        const QBitmap mask = ReadBitmap(base + QStringLiteral("_mask.xbm"));
        return QCursor(bitmap, mask, picture.hotSpot.x(), picture.hotSpot.y());
    }
    return QCursor(Qt::ArrowCursor);
}

} // namespace vistrel
