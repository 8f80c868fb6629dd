#include "boxResampler.h"
#include "pictureFixtures.h"
#include "pictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

TPictureLoad Read(const QByteArray& bytes, const QByteArray& hint = {},
                  std::int64_t maxPixels = MaxPicturePixels) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadPicture(buffer, hint, maxPixels);
}

// 32 x 16, red in the top-left 16 x 8 quarter, white elsewhere.
QImage RedCorner() {
    QImage picture = Filled(32, 16, qRgb(255, 255, 255));
    QPainter(&picture).fillRect(0, 0, 16, 8, QColor(255, 0, 0));
    return picture;
}

} // namespace

TEST(PictureLoader, ReadsJpegStraightIntoTheImportLayout) {
    for (const bool progressive : {false, true}) {
        const TPictureLoad load = Read(JpegBytes(RedCorner(), 95, progressive));
        ASSERT_TRUE(load.Loaded()) << qPrintable(load.Reason);
        EXPECT_EQ(load.Picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(load.Picture.size(), QSize(32, 16));
        EXPECT_TRUE(Near(load.Picture.pixel(2, 2), qRgb(255, 0, 0)));
        EXPECT_TRUE(Near(load.Picture.pixel(29, 13), qRgb(255, 255, 255)));
        EXPECT_EQ(qAlpha(load.Picture.pixel(29, 13)), 255);
    }
    const TPictureLoad grey =
        Read(JpegBytes(Grey(16, 16, 100).convertToFormat(QImage::Format_Grayscale8)));
    ASSERT_TRUE(grey.Loaded()) << qPrintable(grey.Reason);
    EXPECT_TRUE(Near(grey.Picture.pixel(5, 5), qRgb(100, 100, 100), 3));
}

TEST(PictureLoader, TurnsAJpegAsItsExifOrientationSays) {
    struct Case {
        int orientation;
        QSize size;
        QPoint red; // a point inside the red quarter as shown
    };
    const Case cases[] = {
        {1, {32, 16}, {4, 2}},   {2, {32, 16}, {27, 2}}, {3, {32, 16}, {27, 13}},
        {4, {32, 16}, {4, 13}},  {5, {16, 32}, {2, 4}},  {6, {16, 32}, {13, 4}},
        {7, {16, 32}, {13, 27}}, {8, {16, 32}, {2, 27}},
    };
    const QByteArray plain = JpegBytes(RedCorner(), 100);
    for (const Case& c : cases) {
        const TPictureLoad load = Read(WithExifOrientation(plain, c.orientation));
        ASSERT_TRUE(load.Loaded()) << qPrintable(load.Reason);
        EXPECT_EQ(load.Picture.size(), c.size) << "orientation " << c.orientation;
        EXPECT_TRUE(Near(load.Picture.pixel(c.red), qRgb(255, 0, 0)))
            << "orientation " << c.orientation;
        // The opposite corner is white whatever the turn.
        const QPoint opposite(c.size.width() - 1 - c.red.x(), c.size.height() - 1 - c.red.y());
        EXPECT_TRUE(Near(load.Picture.pixel(opposite), qRgb(255, 255, 255)))
            << "orientation " << c.orientation;
    }
}

TEST(PictureLoader, ConvertsCmykJpegToRgb) {
    struct Case {
        std::array<std::uint8_t, 4> inverted; // 255 is no ink
        QRgb expected;
    };
    const Case cases[] = {
        {{255, 0, 0, 255}, qRgb(255, 0, 0)}, // magenta and yellow ink: red
        {{255, 255, 255, 255}, qRgb(255, 255, 255)},
        {{255, 255, 255, 0}, qRgb(0, 0, 0)},     // black ink
        {{0, 255, 255, 255}, qRgb(0, 255, 255)}, // cyan
    };
    for (const Case& c : cases) {
        const TPictureLoad load = Read(CmykJpegBytes(8, 8, c.inverted));
        ASSERT_TRUE(load.Loaded()) << qPrintable(load.Reason);
        EXPECT_TRUE(Near(load.Picture.pixel(3, 3), c.expected))
            << std::hex << load.Picture.pixel(3, 3) << " for " << c.expected;
    }
}

TEST(PictureLoader, ReadsBmpIcoPngAndGifWithTransparencyOnWhite) {
    // 16 x 16: blue right half; the left half see-through, but for a half-covered
    // black top band where the format has an alpha channel.
    QImage withHole(16, 16, QImage::Format_ARGB32);
    withHole.fill(qRgba(0, 0, 255, 255));
    QPainter painter(&withHole);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, 0, 8, 16, Qt::transparent);
    painter.fillRect(0, 0, 8, 2, QColor(0, 0, 0, 128));
    painter.end();
    std::vector<std::uint8_t> gifIndexes;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            gifIndexes.push_back(x < 8 ? 0 : 2);
    const QByteArray gif =
        GifBytes(16, 16, gifIndexes, {qRgb(9, 9, 9), qRgb(0, 0, 0), qRgb(0, 0, 255), 0}, 0);
    struct Case {
        const char* format;
        QByteArray bytes;
        bool halfCovered;
    };
    const Case cases[] = {
        {"bmp", PictureBytes(withHole.convertToFormat(QImage::Format_RGB32), "bmp"), false},
        {"ico", PictureBytes(withHole, "ico"), true},
        {"png", PictureBytes(withHole, "png"), true},
        {"gif", gif, false},
    };
    for (const Case& c : cases) {
        const TPictureLoad load = Read(c.bytes, c.format);
        ASSERT_TRUE(load.Loaded()) << c.format << ": " << qPrintable(load.Reason);
        EXPECT_EQ(load.Picture.format(), QImage::Format_RGB32) << c.format;
        EXPECT_EQ(load.Picture.size(), QSize(16, 16)) << c.format;
        EXPECT_TRUE(Near(load.Picture.pixel(12, 8), qRgb(0, 0, 255), 2)) << c.format;
        if (c.format != std::string("bmp")) {
            EXPECT_EQ(load.Picture.pixel(4, 8), qRgb(255, 255, 255)) << c.format;
        }
        if (c.halfCovered) {
            EXPECT_TRUE(Near(load.Picture.pixel(4, 0), qRgb(127, 127, 127), 2)) << c.format;
        }
    }
}

TEST(PictureLoader, RefusesPicturesAboveThePixelLimitFromTheHeader) {
    // The headers claim 20000 x 20000; nothing of that size may be allocated,
    // so the refusal is quick and says how large the picture is.
    const QByteArray png = WithPngSize(PictureBytes(Grey(4, 4, 0), "png"), 20000, 20000);
    const QByteArray jpeg = WithJpegSize(JpegBytes(Grey(16, 16, 0)), 20000, 20000);
    for (const QByteArray& bytes : {png, jpeg}) {
        const TPictureLoad load = Read(bytes);
        EXPECT_FALSE(load.Loaded());
        EXPECT_TRUE(load.Reason.contains(QLatin1String("20000 x 20000")))
            << qPrintable(load.Reason);
        EXPECT_TRUE(load.Reason.contains(QLatin1String("100 megapixels")))
            << qPrintable(load.Reason);
    }
    // Qt's BMP reader gives no size for such a header; it is refused all the same.
    QByteArray bmp = PictureBytes(Grey(4, 4, 0), "bmp");
    qToLittleEndian<qint32>(20000, bmp.data() + 18);
    qToLittleEndian<qint32>(20000, bmp.data() + 22);
    EXPECT_FALSE(Read(bmp, "bmp").Loaded());
    // Stored top-down, its height negative, it is measured all the same.
    qToLittleEndian<qint32>(4, bmp.data() + 18);
    qToLittleEndian<qint32>(-30'000'000, bmp.data() + 22);
    const TPictureLoad topDown = Read(bmp, "bmp");
    EXPECT_FALSE(topDown.Loaded());
    EXPECT_TRUE(topDown.Reason.contains(QLatin1String("4 x 30000000")))
        << qPrintable(topDown.Reason);
    // The limit is the caller's: 16 x 16 is 256 pixels.
    EXPECT_FALSE(Read(JpegBytes(Grey(16, 16, 0)), {}, 255).Loaded());
    EXPECT_TRUE(Read(JpegBytes(Grey(16, 16, 0)), {}, 256).Loaded());
}

// Qt's BMP and GIF readers stop quietly where their data end and give what they
// have, blank or cut; such a picture is refused as a cut JPEG or PNG is. Cut
// anywhere, a picture either loads whole (a GIF needs no bytes after its last
// pixel code) or is refused with the reason.
TEST(PictureLoader, BmpAndGifPicturesCutShortAreRefusedWhereverTheyEnd) {
    const std::vector<std::uint8_t> indexes = [] {
        std::vector<std::uint8_t> values(16 * 16);
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<std::uint8_t>(i * 7 % 4);
        return values;
    }();
    const std::array<QRgb, 4> palette{qRgb(9, 9, 9), qRgb(0, 0, 0), qRgb(0, 0, 255),
                                      qRgb(200, 40, 0)};
    QImage indexed = Grey(16, 8, 0).convertToFormat(QImage::Format_Indexed8,
                                                    {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    indexed.setPixel(3, 3, 1);
    const struct {
        const char* what;
        QByteArray bytes;
        QByteArray hint;
    } pictures[] = {
        {"a 24-bit BMP", PictureBytes(RedCorner(), "bmp"), "bmp"},
        {"an 8-bit BMP", PictureBytes(indexed, "bmp"), "bmp"},
        {"a 1-bit BMP", PictureBytes(indexed.convertToFormat(QImage::Format_Mono), "bmp"), "bmp"},
        {"a BMP coded by runs", RunLengthBmpBytes(), "bmp"},
        {"a GIF", GifBytes(16, 16, indexes, palette), "gif"},
        {"a GIF seen through", GifBytes(16, 16, indexes, palette, 0), "gif"},
    };
    for (const auto& picture : pictures) {
        const TPictureLoad whole = Read(picture.bytes, picture.hint);
        ASSERT_TRUE(whole.Loaded()) << picture.what << ": " << qPrintable(whole.Reason);
        for (qsizetype size = 14; size < picture.bytes.size(); ++size) {
            const TPictureLoad cut = Read(picture.bytes.left(size), picture.hint);
            if (cut.Loaded()) {
                EXPECT_TRUE(cut.Picture == whole.Picture) << picture.what << " cut to " << size;
                continue;
            }
            EXPECT_FALSE(cut.Reason.isEmpty()) << picture.what << " cut to " << size;
        }
    }
    const TPictureLoad runs = Read(RunLengthBmpBytes(), "bmp");
    EXPECT_EQ(runs.Picture.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(runs.Picture.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(runs.Picture.pixel(0, 1), qRgb(255, 255, 255));
    // A whole 24-bit BMP cut by one byte, and one whose pixel data the header puts
    // past the end of the file.
    QByteArray far = PictureBytes(RedCorner(), "bmp");
    qToLittleEndian<quint32>(100'000, far.data() + 10);
    const QByteArray bmp = PictureBytes(RedCorner(), "bmp");
    for (const QByteArray& bytes : {bmp.left(bmp.size() - 1), far})
        EXPECT_EQ(Read(bytes, "bmp").Reason.toStdString(), "the file ends before the picture does");
}

// A GIF whose codes end the picture after its top half: the rest would be blank.
TEST(PictureLoader, AGifWhosePixelDataEndEarlyIsRefused) {
    const std::vector<std::uint8_t> topHalf(16 * 8, 2);
    const TPictureLoad load = Read(
        GifBytes(16, 16, topHalf, {qRgb(9, 9, 9), qRgb(0, 0, 0), qRgb(0, 0, 255), 0}, -1), "gif");
    EXPECT_FALSE(load.Loaded());
    EXPECT_EQ(load.Reason.toStdString(), "the picture data end before the picture does");
}

// The importer raises Qt's allocation limit for pictures up to its own pixel
// limit; that limit is the whole process's, and a paste after an import must
// still be held to the normal one.
TEST(PictureLoader, TheRaisedAllocationLimitLastsOnlyAsLongAsTheRead) {
    const int normal = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes: less than the picture below
    const QByteArray large = PictureBytes(Grey(800, 800, 0), "png"); // 2.5 MB at 32 bits
    const TPictureLoad load = Read(large);
    EXPECT_TRUE(load.Loaded()) << qPrintable(load.Reason);
    EXPECT_FALSE(Read("not a picture", "png").Loaded());
    EXPECT_EQ(QImageReader::allocationLimit(), 1);
    QBuffer buffer;
    buffer.setData(large);
    buffer.open(QIODevice::ReadOnly);
    QImage pasted;
    EXPECT_FALSE(QImageReader(&buffer, "png").read(&pasted)) << "read beyond the normal limit";
    QImageReader::setAllocationLimit(normal);
}

// Opening a FIFO waits for a writer, a device never ends: a picture is read only
// from a regular file.
TEST(PictureLoader, OnlyRegularFilesAreRead) {
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("x.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = folder.filePath(QStringLiteral("zero.bmp"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    for (const QString& name : {fifo, zero}) {
        std::atomic<bool> done{false};
        // A reader left waiting on the FIFO is set free, so the test fails
        // instead of hanging.
        std::thread watchdog([&] {
            for (int i = 0; !done; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (i > 300)
                    ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
            }
        });
        const auto started = std::chrono::steady_clock::now();
        const TPictureLoad load = LoadPicture(name);
        done = true;
        watchdog.join();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_FALSE(load.Loaded());
        EXPECT_EQ(load.Reason.toStdString(), "not a regular file");
    }
}

TEST(PictureLoader, ReportsWhyAPictureCannotBeRead) {
    const QByteArray jpeg = JpegBytes(Grey(64, 64, 90));
    const std::pair<const char*, QByteArray> cases[] = {
        {"a JPEG cut short", jpeg.left(jpeg.size() / 2)},
        {"a JPEG header only", jpeg.left(20)},
        {"a PNG cut short", PictureBytes(Grey(64, 64, 90), "png").left(50)},
        {"random bytes", QByteArray("\x01\x02\x03 no picture here, only text")},
        {"a picture kind the importer does not read", PictureBytes(Grey(8, 8, 0), "ppm")},
        {"no bytes", QByteArray()},
    };
    for (const auto& [what, bytes] : cases) {
        const TPictureLoad load = Read(bytes);
        EXPECT_FALSE(load.Loaded()) << what;
        EXPECT_FALSE(load.Reason.isEmpty()) << what;
    }
}

TEST(PictureLoader, FilesLoadWhateverTheLetterCaseOfTheirExtension) {
    QTemporaryDir folder;
    const std::pair<const char*, QByteArray> files[] = {
        {"PHOTO.JPG", JpegBytes(Grey(8, 8, 0))},
        {"photo.Jpeg", JpegBytes(Grey(8, 8, 0))},
        {"ICON.ICO", PictureBytes(Grey(8, 8, 0), "ico")},
        {"Drawing.BMP", PictureBytes(Grey(8, 8, 0), "bmp")},
        {"named-wrong.bmp", PictureBytes(Grey(8, 8, 0), "png")},
    };
    for (const auto& [name, bytes] : files) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const TPictureLoad load = LoadPicture(folder.filePath(name));
        EXPECT_TRUE(load.Loaded()) << name << ": " << qPrintable(load.Reason);
    }
    const TPictureLoad missing = LoadPicture(folder.filePath("missing.jpg"));
    EXPECT_FALSE(missing.Loaded());
    EXPECT_FALSE(missing.Reason.isEmpty());
}

// Loading straight at a size (a JPEG scaled row by row as it decodes) gives the
// very pixels of a full-size load followed by the box filter, shrinking or
// enlarging, upright or turned, whatever the format.
TEST(PictureLoader, LoadingAtASizeGivesTheFullLoadResampled) {
    // Detail at every frequency, an odd size, so that boxes differ in width.
    QImage photo(203, 97, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 7 + y * 3) % 256, (x * y) % 256, (x ^ y) * 2 % 256));
    const QByteArray jpeg = JpegBytes(photo, 90);
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case files[] = {
        {"baseline.jpg", jpeg},
        {"progressive.jpg", JpegBytes(photo, 90, true)},
        {"turned.jpg", WithExifOrientation(jpeg, 6)},
        {"cmyk.jpg", CmykJpegBytes(61, 33, {10, 200, 90, 30})},
        {"photo.png", PictureBytes(photo, "png")},
    };
    const std::pair<const char*, TTargetSize> sizes[] = {
        {"fit", [](QSize) { return QSize(48, 23); }},
        {"a third", [](QSize s) { return s / 3; }},
        {"enlarged", [](QSize s) { return QSize(s.width() + 5, s.height() * 2 + 1); }},
        {"same", [](QSize s) { return s; }},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const Case& file : files) {
        const QString path = folder.filePath(QString::fromLatin1(file.name));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file.bytes) == file.bytes.size());
        out.close();
        const TPictureLoad full = LoadPicture(path);
        ASSERT_TRUE(full.Loaded()) << file.name << ": " << qPrintable(full.Reason);
        for (const auto& [sizeName, target] : sizes) {
            const TPictureLoad atSize = LoadPictureAtSize(path, target);
            ASSERT_TRUE(atSize.Loaded()) << file.name << ", " << sizeName;
            EXPECT_EQ(atSize.Picture.size(), target(full.Picture.size()))
                << file.name << ", " << sizeName;
            EXPECT_TRUE(atSize.Picture == ResampleBox(full.Picture, target(full.Picture.size())))
                << file.name << ", " << sizeName;
        }
    }
    // A file cut short is refused on that path too.
    const QString cut = folder.filePath(QStringLiteral("cut.jpg"));
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(jpeg.left(jpeg.size() / 2));
    out.close();
    const TPictureLoad refused = LoadPictureAtSize(cut, sizes[0].second);
    EXPECT_FALSE(refused.Loaded());
    EXPECT_EQ(refused.Reason, QStringLiteral("the file ends before the picture does"));
}

// The decoder reads several rows per libjpeg call, into the picture or through
// a row buffer into the resampler: whatever the height against that batch
// (one row, just under or over a multiple), each row comes out once and in its
// place. Every row is its own grey, far enough from its neighbours that a row
// dropped or read twice shows.
TEST(PictureLoader, EveryJpegRowComesOutOnceWhateverTheHeight) {
    constexpr int Width = 13;
    constexpr int Step = 6;
    const auto level = [](int row) { return 16 + Step * row; };
    const auto ramp = [&](int height) {
        QImage picture(Width, height, QImage::Format_Grayscale8);
        for (int y = 0; y < height; ++y)
            std::memset(picture.scanLine(y), level(y), Width);
        return picture;
    };
    // One-channel JPEGs, as Qt writes them from a grey picture.
    const auto greyJpeg = [](const QImage& picture) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(100);
        EXPECT_TRUE(writer.write(picture)) << qPrintable(writer.errorString());
        return buffer.data();
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const int height : {1, 2, 15, 16, 17, 33}) {
        const QImage picture = ramp(height);
        const std::pair<const char*, QByteArray> files[] = {
            {"baseline", JpegBytes(picture, 100)},
            {"progressive", JpegBytes(picture, 100, true)},
            {"grey", greyJpeg(picture)},
        };
        for (const auto& [kind, bytes] : files) {
            const QString path = folder.filePath(QStringLiteral("%1-%2.jpg").arg(kind).arg(height));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            out.close();
            // Full size, and twice as wide: the resampler's rows are then the
            // decoded rows one for one.
            const TPictureLoad loads[] = {
                LoadPicture(path),
                LoadPictureAtSize(path, [](QSize s) { return QSize(s.width() * 2, s.height()); }),
            };
            for (const TPictureLoad& load : loads) {
                ASSERT_TRUE(load.Loaded())
                    << kind << " " << height << ": " << qPrintable(load.Reason);
                ASSERT_EQ(load.Picture.height(), height) << kind;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < load.Picture.width(); ++x)
                        ASSERT_TRUE(
                            Near(load.Picture.pixel(x, y), qRgb(level(y), level(y), level(y)), 2))
                            << kind << ", " << height << " rows, " << load.Picture.width()
                            << " wide: row " << y << " is " << qGray(load.Picture.pixel(x, y))
                            << ", not " << level(y);
            }
        }
    }
}
