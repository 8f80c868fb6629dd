#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>

class QIODevice;

namespace vistrel {

// The largest picture the importer takes: its full-size copy alone is 400 MB.
inline constexpr std::int64_t MaxPicturePixels = 100'000'000;

// "the picture is W x H pixels, more than the 100 megapixels Vistrel imports".
QString PictureTooLarge(std::int64_t width, std::int64_t height, std::int64_t maxPixels);

// Lays a picture on white in the layout the importer works in (Format_RGB32,
// opaque): transparent parts show white, the colour of a dot that is off, and
// partly transparent ones are mixed with it. False when memory runs out.
bool LayOnWhite(QImage& picture);

// Qt refuses allocations above a limit of its own, one for the whole process
// (256 MB by default), which the clipboard's pictures rely on. It is raised to
// what a picture of maxPixels needs only while an import reads, and put back
// when the read ends.
class TRaisedAllocationLimit {
public:
    explicit TRaisedAllocationLimit(std::int64_t maxPixels);
    ~TRaisedAllocationLimit();
    TRaisedAllocationLimit(const TRaisedAllocationLimit&) = delete;
    TRaisedAllocationLimit& operator=(const TRaisedAllocationLimit&) = delete;

private:
    int m_old;
};

// A loaded picture in the layout the importer works in (Format_RGB32, opaque,
// transparent parts laid on white), or the reason it could not be loaded.
struct TPictureLoad {
    QImage Picture;
    QString Reason; // empty when Picture holds the picture

    bool Loaded() const { return !Picture.isNull(); }
};

// Reads a JPEG (through libjpeg, honouring its EXIF orientation), BMP, ICO, PNG or
// GIF picture. A JPEG is known by its first bytes; the others are read by Qt's
// readers, with formatHint (a lower-case extension such as "ico", possibly empty)
// tried first. The size is checked against maxPixels from the header, before any
// pixel is decoded.
TPictureLoad ReadPicture(QIODevice& device, const QByteArray& formatHint,
                         std::int64_t maxPixels = MaxPicturePixels);

// The same for a file; the extension, in any letter case, is the format hint.
TPictureLoad LoadPicture(const QString& fileName, std::int64_t maxPixels = MaxPicturePixels);

// Whether fileName's extension, in any case, names a kind of picture the
// loader reads (JPEG, BMP, icons and cursors, PNG, GIF). The loader itself goes
// by the content; this is for choosing files by name, as a sequence is chosen.
bool IsPictureFileName(const QString& fileName);

// The size a picture is wanted at, given its size as shown.
using TTargetSize = std::function<QSize(QSize)>;

// A file loaded straight at the size targetSize gives, box-filtered, for
// one-shot imports that never need the full-size picture: an upright JPEG is
// scaled as it is decoded and never held at full size. The same pixels as
// LoadPicture followed by ResampleBox.
TPictureLoad LoadPictureAtSize(const QString& fileName, const TTargetSize& targetSize,
                               std::int64_t maxPixels = MaxPicturePixels);

} // namespace vistrel
