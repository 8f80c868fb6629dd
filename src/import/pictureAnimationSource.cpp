#include "pictureAnimationSource.h"

#include "gifPictureData.h"
#include "localFiles.h"
#include "pictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <array>
#include <cmath>

namespace vistrel {

namespace {

constexpr qint64 DefaultDelayMs = 100;

const QString EndsEarly = QStringLiteral("the file ends inside frame %1");
const QString Damaged = QStringLiteral("the picture data of frame %1 are damaged");

// Reads bytes one at a time from a device, remembering whether it ran out.
class TByteReader {
public:
    explicit TByteReader(QIODevice& device) : m_device(device) {}
    int Byte() {
        char c = 0;
        if (!m_device.getChar(&c)) {
            m_ended = true;
            return -1;
        }
        return static_cast<std::uint8_t>(c);
    }
    QByteArray Read(qint64 count) {
        QByteArray bytes = m_device.read(count);
        if (bytes.size() != count)
            m_ended = true;
        return bytes;
    }
    bool Skip(qint64 count) {
        if (m_device.isSequential() || m_device.pos() + count > m_device.size()) {
            m_ended = true;
            return false;
        }
        return m_device.seek(m_device.pos() + count);
    }
    bool Ended() const { return m_ended; }
    qint64 Pos() const { return m_device.pos(); }
    QIODevice& Device() { return m_device; }

private:
    QIODevice& m_device;
    bool m_ended = false;
};

int Little16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

qint64 Little24(const QByteArray& bytes, int at) {
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 16;
}

using TFramePlan = TPictureAnimationSource::TFramePlan;

struct TLayout {
    QSize Size;
    int Plays = -1;
    std::vector<TFramePlan> Frames;
    QString Broken;
    QString Refused;     // the file cannot be read at all
    qint64 WholeEnd = 0; // WebP: where the last whole chunk ends
    QByteArray PngHeader, PngShared;
};

TLayout PlanGif(QIODevice& device) {
    TLayout layout;
    TByteReader in(device);
    const QByteArray screen = in.Read(13);
    if (screen.size() < 13) {
        layout.Refused = QStringLiteral("the file ends inside the picture's header");
        return layout;
    }
    layout.Size = QSize(Little16(screen, 6), Little16(screen, 8));
    const auto flags = static_cast<std::uint8_t>(screen[10]);
    if ((flags & 0x80) && !in.Skip(3 << ((flags & 7) + 1))) {
        layout.Refused = QStringLiteral("the file ends inside the picture's colour table");
        return layout;
    }
    qint64 delay = 0;
    const auto frame = [&layout] { return static_cast<int>(layout.Frames.size()) + 1; };
    while (true) {
        const int introducer = in.Byte();
        if (introducer == 0x3B)
            break;
        if (introducer < 0) {
            // Frames may have followed: only the end mark says there are no more.
            layout.Broken =
                layout.Frames.empty()
                    ? EndsEarly.arg(1)
                    : QStringLiteral("the file ends after frame %1, without its end mark")
                          .arg(layout.Frames.size());
            break;
        }
        if (introducer == 0x21) {
            const int label = in.Byte();
            const int size = in.Byte();
            if (label == 0xF9 && size == 4) { // the next frame's delay
                const QByteArray control = in.Read(4);
                if (control.size() == 4)
                    delay = Little16(control, 1) * qint64{10};
            } else if (label == 0xFF && size == 11) { // how often the animation repeats
                const QByteArray name = in.Read(11);
                const int blockSize = in.Byte();
                const QByteArray block = in.Read(std::max(blockSize, 0));
                if ((name == "NETSCAPE2.0" || name == "ANIMEXTS1.0") && block.size() == 3 &&
                    block[0] == 1) {
                    // The count is of repeats after the first pass; none means forever.
                    const int repeats = Little16(block, 1);
                    layout.Plays = repeats == 0 ? 0 : repeats + 1;
                }
                if (blockSize == 0) {
                    in.Skip(-1); // that was the end of the blocks
                }
            } else if (size > 0) {
                in.Skip(size);
            }
            if (in.Ended() || (size != 0 && !SkipGifSubBlocks(in.Device()))) {
                layout.Broken = EndsEarly.arg(frame());
                break;
            }
            continue;
        }
        if (introducer != 0x2C) {
            layout.Broken = Damaged.arg(frame());
            break;
        }
        const QByteArray descriptor = in.Read(9);
        const auto local = descriptor.size() == 9 ? static_cast<std::uint8_t>(descriptor[8]) : 0;
        if (descriptor.size() < 9 || ((local & 0x80) && !in.Skip(3 << ((local & 7) + 1)))) {
            layout.Broken = EndsEarly.arg(frame());
            break;
        }
        // A screen of no width or height takes the first frame's extent, as
        // Qt's reader lays the frames out.
        if (layout.Frames.empty() && layout.Size.width() == 0)
            layout.Size.setWidth(Little16(descriptor, 0) + Little16(descriptor, 4));
        if (layout.Frames.empty() && layout.Size.height() == 0)
            layout.Size.setHeight(Little16(descriptor, 2) + Little16(descriptor, 6));
        const qint64 pixels = qint64{Little16(descriptor, 4)} * Little16(descriptor, 6);
        if (const TGifPictureData data = ReadGifPictureData(in.Device(), pixels);
            data != TGifPictureData::Complete) {
            layout.Broken = (data == TGifPictureData::FileEnds ? EndsEarly : Damaged).arg(frame());
            break;
        }
        // The rest of the frame's blocks, up to the empty one that ends them.
        if (!SkipGifSubBlocks(in.Device())) {
            layout.Broken = EndsEarly.arg(frame());
            break;
        }
        layout.Frames.push_back({delay, {}, 0, 0, 0});
        delay = 0;
    }
    return layout;
}

TLayout PlanWebp(QIODevice& device) {
    TLayout layout;
    TByteReader in(device);
    const QByteArray riff = in.Read(12);
    if (riff.size() < 12) {
        layout.Refused = QStringLiteral("the file ends inside the picture's header");
        return layout;
    }
    const qint64 end =
        std::min<qint64>(device.size(), 8 + qFromLittleEndian<quint32>(riff.constData() + 4));
    bool animated = false;
    while (in.Pos() + 8 <= end) {
        const QByteArray head = in.Read(8);
        const QByteArray kind = head.left(4);
        const qint64 size = qFromLittleEndian<quint32>(head.constData() + 4);
        const qint64 next = in.Pos() + size + (size & 1);
        if (in.Pos() + size > end) {
            layout.Broken = EndsEarly.arg(layout.Frames.size() + 1);
            break;
        }
        layout.WholeEnd = next;
        const QByteArray data = in.Read(std::min<qint64>(size, 16));
        if (kind == "VP8X" && data.size() >= 10) {
            animated = data[0] & 0x02;
            layout.Size = QSize(static_cast<int>(Little24(data, 4) + 1),
                                static_cast<int>(Little24(data, 7) + 1));
        } else if (kind == "ANIM" && data.size() >= 6) {
            layout.Plays = Little16(data, 4);
        } else if (kind == "ANMF" && data.size() >= 16) {
            layout.Frames.push_back({Little24(data, 12), {}, 0, 0, 0});
        } else if (!animated && (kind == "VP8 " || kind == "VP8L")) {
            layout.Frames.push_back({0, {}, 0, 0, 0});
        }
        if (!device.seek(next))
            break;
    }
    // Cut inside a chunk's header: the container promised more.
    if (layout.Broken.isEmpty() &&
        8 + qint64{qFromLittleEndian<quint32>(riff.constData() + 4)} > device.size())
        layout.Broken = EndsEarly.arg(layout.Frames.size() + 1);
    if (!animated) {
        layout.Plays = -1;
        if (!layout.Size.isValid()) {
            device.seek(0);
            layout.Size = QImageReader(&device, "webp").size();
        }
    }
    return layout;
}

quint32 Big32(const QByteArray& bytes, int at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

TLayout PlanPng(QIODevice& device) {
    TLayout layout;
    TByteReader in(device);
    in.Skip(8);
    bool dataSeen = false, animated = false, framed = false, frameHasData = false;
    bool cut = false, dataCut = false;
    const auto frame = [&layout] { return static_cast<int>(layout.Frames.size()); };
    while (true) {
        const qint64 offset = in.Pos();
        const QByteArray head = in.Read(8);
        if (head.size() < 8) {
            cut = true;
            break;
        }
        const qint64 length = Big32(head, 0);
        const QByteArray kind = head.mid(4);
        if (length > 0x7FFFFFFF || offset + 12 + length > device.size()) {
            cut = true;
            dataCut = kind == "IDAT" || kind == "fdAT";
            break;
        }
        if (kind == "IHDR" || kind == "acTL" || kind == "fcTL") {
            const QByteArray data = in.Read(std::min<qint64>(length, 32));
            in.Skip(length - data.size() + 4);
            // Only the first chunk is the header: a later one would give the
            // picture another size than the frames were placed in.
            if (kind == "IHDR" && data.size() == 13 && offset == 8) {
                layout.PngHeader = data;
                layout.Size = QSize(static_cast<int>(std::min<quint32>(Big32(data, 0), INT_MAX)),
                                    static_cast<int>(std::min<quint32>(Big32(data, 4), INT_MAX)));
            } else if (kind == "acTL" && data.size() == 8 && !dataSeen) {
                animated = true;
                layout.Plays = static_cast<int>(std::min<quint32>(Big32(data, 4), INT_MAX));
            } else if (kind == "fcTL" && data.size() == 26 && animated) {
                if (framed && !frameHasData) {
                    layout.Broken = Damaged.arg(frame());
                    break;
                }
                // Checked in 64 bits: the sum of a place and a size may not fit an int.
                const qint64 width = Big32(data, 4), height = Big32(data, 8);
                const qint64 left = Big32(data, 12), top = Big32(data, 16);
                const int dispose = static_cast<std::uint8_t>(data[24]);
                const int blend = static_cast<std::uint8_t>(data[25]);
                if (width == 0 || height == 0 || left + width > layout.Size.width() ||
                    top + height > layout.Size.height() || dispose > 2 || blend > 1) {
                    layout.Broken = Damaged.arg(frame() + 1);
                    break;
                }
                const QRect area(static_cast<int>(left), static_cast<int>(top),
                                 static_cast<int>(width), static_cast<int>(height));
                const int numerator = qFromBigEndian<quint16>(data.constData() + 20);
                const int denominator = qFromBigEndian<quint16>(data.constData() + 22);
                const qint64 delay =
                    std::llround(numerator * 1000.0 / (denominator == 0 ? 100 : denominator));
                layout.Frames.push_back({delay, area, dispose, blend, offset});
                framed = true;
                frameHasData = false;
            }
        } else if (kind == "IDAT" || kind == "fdAT") {
            if (kind == "IDAT" && !dataSeen && !framed) // a still picture, or one not shown
                if (!animated)
                    layout.Frames.push_back({0, QRect(QPoint(0, 0), layout.Size), 0, 0, offset});
            dataSeen = true;
            frameHasData = framed || !animated;
            in.Skip(length + 4);
        } else if (kind == "IEND") {
            if (framed && !frameHasData)
                layout.Broken = Damaged.arg(frame());
            break;
        } else {
            if (!dataSeen && !framed) {
                // Chunks ahead of the data (palette, transparency, gamma)
                // belong to every frame; a header that hoards them is refused.
                if (layout.PngShared.size() + length > 16 * 1024 * 1024) {
                    layout.Refused = QStringLiteral("the picture's header is too large");
                    return layout;
                }
                in.Skip(-8);
                layout.PngShared += in.Read(length + 12);
            } else {
                in.Skip(length + 4);
            }
        }
        if (in.Ended()) {
            cut = dataCut = true;
            break;
        }
    }
    if (cut) {
        // A frame whose data chunk is cut, or that has none, cannot be shown;
        // one whose next chunk is cut may still be whole, which decoding it tells.
        if (!layout.Frames.empty() && (dataCut || !frameHasData))
            layout.Frames.pop_back();
        layout.Broken = EndsEarly.arg(frame() + 1);
    }
    if (layout.PngHeader.isEmpty())
        layout.Refused = QStringLiteral("the picture has no header");
    return layout;
}

std::uint32_t Crc32(const QByteArray& bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> values{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes)
        crc = table[(crc ^ static_cast<std::uint8_t>(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray PngChunk(const QByteArray& kind, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    chunk += kind + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(Crc32(kind + data), crc.data());
    return chunk + crc;
}

// Lays a frame's pixels over the picture so far, both not premultiplied.
void LayOver(QImage& canvas, const QImage& frame, QPoint at) {
    for (int y = 0; y < frame.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(canvas.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < frame.width(); ++x) {
            const int a = qAlpha(from[x]);
            if (a == 255 || qAlpha(to[x]) == 0) {
                to[x] = from[x];
                continue;
            }
            if (a == 0)
                continue;
            const int under = qAlpha(to[x]) * (255 - a); // scaled by 255
            const int alpha = a * 255 + under;           // scaled by 255
            const auto mix = [&](int top, int bottom) {
                return (top * a * 255 + bottom * under + alpha / 2) / alpha;
            };
            to[x] = qRgba(mix(qRed(from[x]), qRed(to[x])), mix(qGreen(from[x]), qGreen(to[x])),
                          mix(qBlue(from[x]), qBlue(to[x])), (alpha + 127) / 255);
        }
    }
}

} // namespace

QByteArray AnimatedPictureFormat(QIODevice& device) {
    const QByteArray start = device.peek(12);
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return "gif";
    if (start.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (start.size() == 12 && start.startsWith("RIFF") && start.mid(8) == "WEBP")
        return "webp";
    return {};
}

qint64 ShownDelayMs(qint64 delayMs) {
    return delayMs < 20 ? DefaultDelayMs : delayMs;
}

TPictureAnimationSource::TPictureAnimationSource(std::unique_ptr<QIODevice> device,
                                                 std::int64_t maxPixels)
    : m_device(std::move(device)), m_maxPixels(maxPixels) {
    m_failed = !Plan();
}

TPictureAnimationSource::~TPictureAnimationSource() = default;

std::unique_ptr<TPictureAnimationSource>
TPictureAnimationSource::Open(const QString& fileName, QString* reason, std::int64_t maxPixels) {
    auto file = std::make_unique<QFile>();
    QString why;
    if (!OpenLocalFile(*file, fileName, &why)) {
        if (reason)
            *reason = why;
        return nullptr;
    }
    auto source = std::make_unique<TPictureAnimationSource>(std::move(file), maxPixels);
    if (source->Failed()) {
        if (reason)
            *reason = source->Error();
        return nullptr;
    }
    return source;
}

bool TPictureAnimationSource::Fail(const QString& reason) {
    m_error = reason;
    return false;
}

bool TPictureAnimationSource::Plan() {
    if (!m_device || !m_device->isOpen() || m_device->isSequential())
        return Fail(QStringLiteral("the picture cannot be read from the start again"));
    m_device->seek(0);
    m_format = AnimatedPictureFormat(*m_device);
    TLayout layout;
    if (m_format == "gif")
        layout = PlanGif(*m_device);
    else if (m_format == "webp")
        layout = PlanWebp(*m_device);
    else if (m_format == "png")
        layout = PlanPng(*m_device);
    else
        return Fail(QStringLiteral("it is not an animated GIF, WebP or PNG picture"));
    if (!layout.Refused.isEmpty())
        return Fail(layout.Refused);
    m_size = layout.Size;
    if (m_size.width() <= 0 || m_size.height() <= 0)
        return Fail(QStringLiteral("the picture has no size"));
    if (std::int64_t{m_size.width()} * m_size.height() > m_maxPixels)
        return Fail(PictureTooLarge(m_size.width(), m_size.height(), m_maxPixels));
    if (layout.Frames.empty())
        return Fail(layout.Broken.isEmpty() ? QStringLiteral("the picture has no frames")
                                            : layout.Broken);
    m_plays = layout.Plays;
    m_frames = std::move(layout.Frames);
    m_broken = layout.Broken;
    m_pngHeader = layout.PngHeader;
    m_pngShared = layout.PngShared;
    m_wholeEnd = std::min(layout.WholeEnd, m_device->size());
    for (const TFramePlan& frame : m_frames)
        m_lengthMs += ShownDelayMs(frame.DelayMs);
    return Rewind();
}

bool TPictureAnimationSource::Rewind() {
    if (m_failed)
        return false;
    m_next = 0;
    m_startMs = 0;
    m_error.clear();
    if (!m_device->seek(0))
        return Fail(QStringLiteral("the picture cannot be read from the start again"));
    if (m_format == "png") {
        m_canvas = QImage(m_size, QImage::Format_ARGB32);
        if (m_canvas.isNull())
            return Fail(QStringLiteral("there is not enough memory for the picture"));
        m_canvas.fill(0);
        return true;
    }
    QIODevice* device = m_device.get();
    if (m_format == "webp" && !m_broken.isEmpty()) {
        // Qt's WebP reader reads nothing of a file cut short, so it is given
        // the whole chunks alone, their container's size set to match.
        QByteArray whole = m_device->read(m_wholeEnd);
        if (whole.size() != m_wholeEnd)
            return Fail(QStringLiteral("the picture cannot be read from the start again"));
        qToLittleEndian<quint32>(static_cast<quint32>(m_wholeEnd - 8), whole.data() + 4);
        m_wholeChunks = std::make_unique<QBuffer>();
        m_wholeChunks->setData(whole);
        m_wholeChunks->open(QIODevice::ReadOnly);
        device = m_wholeChunks.get();
    }
    m_reader = std::make_unique<QImageReader>(device, m_format);
    m_reader->setAutoDetectImageFormat(false);
    return true;
}

bool TPictureAnimationSource::Next(TSourceFrame& frame) {
    if (m_failed || !m_error.isEmpty())
        return false;
    if (m_next >= FrameCount()) {
        m_error = m_broken;
        return false;
    }
    QImage picture;
    {
        const TRaisedAllocationLimit raised(m_maxPixels);
        if (!(m_format == "png" ? NextPng(picture) : NextFromQt(picture)))
            return false;
    }
    if (picture.size() != m_size)
        return Fail(QStringLiteral("frame %1 is %2 x %3 pixels, not the picture's %4 x %5")
                        .arg(m_next + 1)
                        .arg(picture.width())
                        .arg(picture.height())
                        .arg(m_size.width())
                        .arg(m_size.height()));
    if (!LayOnWhite(picture))
        return Fail(QStringLiteral("there is not enough memory for the picture"));
    frame.Picture = std::move(picture);
    frame.StartMs = m_startMs;
    frame.DurationMs = ShownDelayMs(m_frames[static_cast<std::size_t>(m_next)].DelayMs);
    m_startMs += frame.DurationMs;
    ++m_next;
    return true;
}

bool TPictureAnimationSource::NextFromQt(QImage& picture) {
    if (!m_reader->read(&picture) || picture.isNull()) {
        const QString why = m_reader->errorString();
        return Fail(Damaged.arg(m_next + 1) +
                    (why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    }
    return true;
}

bool TPictureAnimationSource::NextPng(QImage& picture) {
    const TFramePlan& plan = m_frames[static_cast<std::size_t>(m_next)];
    if (!m_canvas.rect().contains(plan.Area))
        return Fail(Damaged.arg(m_next + 1));
    // The frame's data chunks, checked, joined into a picture of their own.
    QByteArray data;
    m_device->seek(plan.Offset);
    for (bool first = true;; first = false) {
        const QByteArray head = m_device->read(8);
        if (head.size() < 8)
            break;
        const qint64 length = Big32(head, 0);
        const QByteArray kind = head.mid(4);
        if (!(kind == "IDAT" || kind == "fdAT" || (first && kind == "fcTL")))
            break;
        if (length > 0x7FFFFFFF || m_device->pos() + length + 4 > m_device->size())
            return Fail(EndsEarly.arg(m_next + 1));
        const QByteArray body = m_device->read(length);
        const QByteArray crc = m_device->read(4);
        if (body.size() != length || crc.size() != 4 || Big32(crc, 0) != Crc32(kind + body))
            return Fail(Damaged.arg(m_next + 1));
        if (kind == "IDAT")
            data += body;
        else if (kind == "fdAT")
            data += body.mid(4);
    }
    QByteArray header = m_pngHeader;
    qToBigEndian<quint32>(static_cast<quint32>(plan.Area.width()), header.data());
    qToBigEndian<quint32>(static_cast<quint32>(plan.Area.height()), header.data() + 4);
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + m_pngShared +
                     PngChunk("IDAT", data) + PngChunk("IEND", {});
    data.clear();
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    QImage part;
    if (!reader.read(&part) || part.size() != plan.Area.size())
        return Fail(Damaged.arg(m_next + 1));
    part.convertTo(QImage::Format_ARGB32);
    if (part.isNull())
        return Fail(QStringLiteral("there is not enough memory for the picture"));

    // The first frame has nothing before it to go back to.
    const bool back = plan.Dispose == 2 && m_next > 0;
    const QImage before = back ? m_canvas.copy(plan.Area) : QImage();
    if (plan.Blend == 0) {
        for (int y = 0; y < part.height(); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(part.constScanLine(y)), part.width(),
                        reinterpret_cast<QRgb*>(m_canvas.scanLine(plan.Area.y() + y)) +
                            plan.Area.x());
    } else {
        LayOver(m_canvas, part, plan.Area.topLeft());
    }
    picture = m_canvas.copy();
    if (plan.Dispose != 0) {
        for (int y = 0; y < plan.Area.height(); ++y) {
            auto* row =
                reinterpret_cast<QRgb*>(m_canvas.scanLine(plan.Area.y() + y)) + plan.Area.x();
            if (back)
                std::copy_n(reinterpret_cast<const QRgb*>(before.constScanLine(y)),
                            plan.Area.width(), row);
            else
                std::fill_n(row, plan.Area.width(), QRgb{0});
        }
    }
    return !picture.isNull() || Fail(QStringLiteral("there is not enough memory for the picture"));
}

} // namespace vistrel
