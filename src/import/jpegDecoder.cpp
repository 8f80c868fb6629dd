#include "jpegDecoder.h"

#include "boxResampler.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h expects size_t and FILE to be declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace vistrel {

namespace {

constexpr std::size_t SourceBufferSize = 64 * 1024;
// A progressive file may hold any number of scans; real ones have about ten.
// Far more only makes decoding slow, so such a file is refused.
constexpr int MaxScans = 1000;
constexpr int ExifOrientationTag = 0x0112;

// Error manager: a fatal error jumps back to the decoding step that started the
// libjpeg call, with libjpeg's message kept; warnings are counted, and a stream
// that ends early is remembered.
struct TErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Return;
    char Message[JMSG_LENGTH_MAX];
    bool Truncated;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->Message);
    std::longjmp(manager->Return, 1);
}

void EmitMessage(j_common_ptr info, int level) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    if (level < 0) {
        if (info->err->msg_code == JWRN_JPEG_EOF)
            manager->Truncated = true;
        ++info->err->num_warnings;
    }
}

void OutputMessage(j_common_ptr) {}

// Source manager reading the device in blocks, so that a large file never sits
// in memory whole.
struct TDeviceSource {
    jpeg_source_mgr Public;
    QIODevice* Device;
    bool Ended; // the device has no more bytes; the buffer holds a fake end marker
    JOCTET Buffer[SourceBufferSize];
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<TDeviceSource*>(info->src);
    const qint64 read =
        source->Device->read(reinterpret_cast<char*>(source->Buffer), SourceBufferSize);
    if (read <= 0) {
        // The stream ended early: libjpeg finishes the picture from a fake end
        // marker, and the warning tells the decoder to refuse it.
        WARNMS(info, JWRN_JPEG_EOF);
        source->Ended = true;
        source->Buffer[0] = 0xFF;
        source->Buffer[1] = JPEG_EOI;
        source->Public.bytes_in_buffer = 2;
    } else {
        source->Public.bytes_in_buffer = static_cast<std::size_t>(read);
    }
    source->Public.next_input_byte = source->Buffer;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<TDeviceSource*>(info->src);
    while (count > 0) {
        if (count <= static_cast<long>(source->Public.bytes_in_buffer)) {
            source->Public.next_input_byte += count;
            source->Public.bytes_in_buffer -= static_cast<std::size_t>(count);
            return;
        }
        count -= static_cast<long>(source->Public.bytes_in_buffer);
        FillInputBuffer(info);
        // A skip past the end of the file ends at the fake end marker, rather
        // than reading the empty device again for every two bytes it claims.
        if (source->Ended)
            return;
    }
}

void TermSource(j_decompress_ptr) {}

void ProgressMonitor(j_common_ptr info) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->is_decompressor && decompress->input_scan_number > MaxScans) {
        auto* manager = reinterpret_cast<TErrorManager*>(info->err);
        std::snprintf(manager->Message, sizeof manager->Message,
                      "the file holds more than %d scans", MaxScans);
        std::longjmp(manager->Return, 1);
    }
}

struct TDecoder {
    jpeg_decompress_struct Info;
    TErrorManager Errors;
    TDeviceSource Source;
    jpeg_progress_mgr Progress;
    bool Created = false;

    explicit TDecoder(QIODevice& device) {
        std::memset(&Info, 0, sizeof Info);
        std::memset(&Errors, 0, sizeof Errors);
        Info.err = jpeg_std_error(&Errors.Public);
        Errors.Public.error_exit = ErrorExit;
        Errors.Public.emit_message = EmitMessage;
        Errors.Public.output_message = OutputMessage;
        Source.Public.init_source = InitSource;
        Source.Public.fill_input_buffer = FillInputBuffer;
        Source.Public.skip_input_data = SkipInputData;
        Source.Public.resync_to_restart = jpeg_resync_to_restart;
        Source.Public.term_source = TermSource;
        Source.Public.bytes_in_buffer = 0;
        Source.Public.next_input_byte = nullptr;
        Source.Device = &device;
        Source.Ended = false;
        Progress.progress_monitor = ProgressMonitor;
    }
    ~TDecoder() {
        if (Created)
            jpeg_destroy_decompress(&Info);
    }
    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;
};

// Each step below runs libjpeg under its own setjmp and holds no object with a
// destructor, so that the jump back skips nothing.

bool ReadHeader(TDecoder& decoder) {
    if (setjmp(decoder.Errors.Return))
        return false;
    jpeg_create_decompress(&decoder.Info);
    decoder.Created = true;
    decoder.Info.src = &decoder.Source.Public;
    decoder.Info.progress = &decoder.Progress;
    jpeg_save_markers(&decoder.Info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&decoder.Info, TRUE);
    return true;
}

bool CalcOutputDimensions(TDecoder& decoder) {
    if (setjmp(decoder.Errors.Return))
        return false;
    jpeg_calc_output_dimensions(&decoder.Info);
    return true;
}

// Four-colour pictures come as CMYK (Adobe files store it inverted). A pixel
// made RGB: red, green, blue.
std::array<std::uint8_t, 3> CmykToRgb(const std::uint8_t* pixel, bool inverted) {
    unsigned c = pixel[0], m = pixel[1], y = pixel[2], k = pixel[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return {static_cast<std::uint8_t>((c * k + 127) / 255),
            static_cast<std::uint8_t>((m * k + 127) / 255),
            static_cast<std::uint8_t>((y * k + 127) / 255)};
}

// A CMYK row made Format_RGB32 in place: the row is as wide in CMYK as in RGB32.
void CmykRowToRgb32(std::uint8_t* row, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        std::uint8_t* pixel = row + 4 * x;
        const auto [red, green, blue] = CmykToRgb(pixel, inverted);
        const QRgb rgb = qRgb(red, green, blue);
        std::memcpy(pixel, &rgb, sizeof rgb);
    }
}

// A CMYK row made three bytes a pixel in place: each pixel lands at or before
// where it was read.
void CmykRowToPacked(std::uint8_t* row, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        const auto rgb = CmykToRgb(row + 4 * x, inverted);
        std::memcpy(row + 3 * x, rgb.data(), rgb.size());
    }
}

// Where the decoded rows go: a full-size picture, rows bytesPerLine apart, or a
// resampler, which takes each batch of rows from a buffer of its own.
struct TPixelTarget {
    std::uint8_t* Bits = nullptr;
    std::size_t BytesPerLine = 0;
    TBoxResampler* Resampler = nullptr;
};

// How many rows one jpeg_read_scanlines call asks for: at least the row group
// libjpeg hands out at once, and, for a resampler, as many more as a small
// buffer holds, so that the call's own cost is shared among them.
int RowsPerRead(const jpeg_decompress_struct& info, std::size_t bytesPerRow, bool toResampler) {
    constexpr std::size_t BufferBytes = 256 * 1024;
    constexpr int MostRows = 16;
    const int group = std::max(info.rec_outbuf_height, 1);
    if (!toResampler)
        return std::max(group, MostRows);
    const auto fit = static_cast<int>(std::min<std::size_t>(BufferBytes / bytesPerRow, MostRows));
    return std::max(group, fit / group * group);
}

// Decodes every row to target. The row buffer and its pointers are sized by the
// caller (rowBuffer: rowsPerRead rows of bytesPerRow, for a resampler only), so
// that nothing here owns memory a jump back would leak.
bool DecodePixels(TDecoder& decoder, const TPixelTarget& target, bool cmyk, std::uint8_t* rowBuffer,
                  std::size_t bytesPerRow, JSAMPROW* rows, int rowsPerRead) {
    if (setjmp(decoder.Errors.Return))
        return false;
    jpeg_decompress_struct& info = decoder.Info;
    jpeg_start_decompress(&info);
    const bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION wanted =
            std::min<JDIMENSION>(static_cast<JDIMENSION>(rowsPerRead), info.output_height - first);
        for (JDIMENSION i = 0; i < wanted; ++i)
            rows[i] = target.Resampler ? rowBuffer + bytesPerRow * i
                                       : target.Bits + target.BytesPerLine * (first + i);
        const JDIMENSION read = jpeg_read_scanlines(&info, rows, wanted);
        for (JDIMENSION i = 0; i < read; ++i) {
            if (cmyk && target.Resampler)
                CmykRowToPacked(rows[i], info.output_width, inverted);
            else if (cmyk)
                CmykRowToRgb32(rows[i], info.output_width, inverted);
            if (target.Resampler)
                target.Resampler->AddRow(rows[i]);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

// The EXIF orientation (1 to 8) in an APP1 marker, 1 when there is none.
int ExifOrientation(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1 || marker->data_length < 14 ||
            std::memcmp(marker->data, "Exif\0\0", 6) != 0)
            continue;
        const std::uint8_t* tiff = marker->data + 6;
        const std::size_t size = marker->data_length - 6;
        const bool little = tiff[0] == 'I' && tiff[1] == 'I';
        if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
            continue;
        const auto read16 = [&](std::size_t at) -> unsigned {
            return little ? qFromLittleEndian<quint16>(tiff + at)
                          : qFromBigEndian<quint16>(tiff + at);
        };
        const auto read32 = [&](std::size_t at) -> std::size_t {
            return little ? qFromLittleEndian<quint32>(tiff + at)
                          : qFromBigEndian<quint32>(tiff + at);
        };
        const std::size_t directory = read32(4);
        if (directory > size || size - directory < 2)
            continue;
        const unsigned entries = read16(directory);
        for (unsigned i = 0; i < entries; ++i) {
            const std::size_t entry = directory + 2 + 12 * std::size_t{i};
            if (entry > size || size - entry < 12)
                break;
            if (read16(entry) == ExifOrientationTag) {
                const unsigned value = read16(entry + 8);
                return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
            }
        }
    }
    return 1;
}

// The picture as it is meant to be seen: orientation 2 to 8 mirror and turn it.
QImage Oriented(const QImage& stored, int orientation) {
    if (orientation <= 1)
        return stored;
    const int w = stored.width();
    const int h = stored.height();
    const bool swaps = orientation >= 5;
    QImage shown(swaps ? h : w, swaps ? w : h, QImage::Format_RGB32);
    if (shown.isNull())
        return shown;
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(stored.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
            case 2:
                sx = w - 1 - x;
                break;
            case 3:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case 4:
                sy = h - 1 - y;
                break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = h - 1 - y;
                sy = x;
                break;
            case 7:
                sx = h - 1 - y;
                sy = w - 1 - x;
                break;
            case 8:
                sx = y;
                sy = w - 1 - x;
                break;
            default:
                break;
            }
            reinterpret_cast<QRgb*>(shown.scanLine(sy))[sx] = in[x];
        }
    }
    return shown;
}

TPictureLoad Failed(const QString& reason) {
    return {QImage(), reason};
}

} // namespace

bool LooksLikeJpeg(const QByteArray& head) {
    return head.size() >= 3 && static_cast<std::uint8_t>(head[0]) == 0xFF &&
           static_cast<std::uint8_t>(head[1]) == 0xD8 && static_cast<std::uint8_t>(head[2]) == 0xFF;
}

TPictureLoad DecodeJpeg(QIODevice& device, std::int64_t maxPixels, const TTargetSize& targetSize) {
    auto decoder = std::make_unique<TDecoder>(device);
    if (!ReadHeader(*decoder))
        return Failed(QString::fromLocal8Bit(decoder->Errors.Message));

    jpeg_decompress_struct& info = decoder->Info;
    const std::int64_t width = info.image_width;
    const std::int64_t height = info.image_height;
    if (width * height > maxPixels)
        return Failed(QStringLiteral("the picture is %1 x %2 pixels, more than the %3 "
                                     "megapixels Vistrel imports")
                          .arg(width)
                          .arg(height)
                          .arg(maxPixels / 1'000'000.0));

    // The saved markers go with the image's memory when decoding finishes.
    const int orientation = ExifOrientation(info);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    const auto noMemory = [size] {
        return Failed(QStringLiteral("there is not enough memory for a picture of %1 x %2 pixels")
                          .arg(size.width())
                          .arg(size.height()));
    };
    const auto decodeFailed = [&decoder] {
        return Failed(QString::fromLocal8Bit(decoder->Errors.Message));
    };
    const auto endsEarly = [] {
        return Failed(QStringLiteral("the file ends before the picture does"));
    };
    // libjpeg gives rec_outbuf_height once the colour space is chosen.
    const auto rowsPerRead = [&decoder](std::size_t bytesPerRow, bool toResampler) {
        return CalcOutputDimensions(*decoder) ? RowsPerRead(decoder->Info, bytesPerRow, toResampler)
                                              : 0;
    };

    // An upright picture wanted at another size is scaled row by row as it is
    // decoded: the full-size picture is never held. Turned pictures are turned
    // first, as their boxes are counted on the picture as shown. The rows come
    // three bytes a pixel, the least libjpeg writes and the resampler reads.
    const QSize wanted = targetSize && orientation == 1 ? targetSize(size) : size;
    if (wanted != size) {
        info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
        TBoxResampler resampler(size, wanted, TBoxResampler::TRowLayout::Packed);
        if (resampler.Result().isNull())
            return noMemory();
        const std::size_t bytesPerRow = static_cast<std::size_t>(width) * (cmyk ? 4 : 3);
        const int count = rowsPerRead(bytesPerRow, true);
        if (count == 0)
            return decodeFailed();
        std::vector<std::uint8_t> buffer(bytesPerRow * static_cast<std::size_t>(count));
        std::vector<JSAMPROW> rows(static_cast<std::size_t>(count));
        TPixelTarget target;
        target.Resampler = &resampler;
        if (!DecodePixels(*decoder, target, cmyk, buffer.data(), bytesPerRow, rows.data(), count))
            return decodeFailed();
        if (decoder->Errors.Truncated)
            return endsEarly();
        return {resampler.Result(), QString()};
    }

    // Decoded straight into the byte order of Format_RGB32, the filler byte 0xFF.
    if (cmyk)
        info.out_color_space = JCS_CMYK;
    else
        info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return noMemory();
    const int count = rowsPerRead(static_cast<std::size_t>(picture.bytesPerLine()), false);
    if (count == 0)
        return decodeFailed();
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(count));
    TPixelTarget target;
    target.Bits = picture.bits();
    target.BytesPerLine = static_cast<std::size_t>(picture.bytesPerLine());
    if (!DecodePixels(*decoder, target, cmyk, nullptr, 0, rows.data(), count))
        return decodeFailed();
    if (decoder->Errors.Truncated)
        return endsEarly();
    decoder.reset();
    QImage shown = Oriented(picture, orientation);
    if (shown.isNull())
        return Failed(QStringLiteral("there is not enough memory to turn the picture upright"));
    picture = QImage();
    if (targetSize && orientation != 1) {
        const QSize turned = targetSize(shown.size());
        if (turned != shown.size()) {
            shown = ResampleBox(shown, turned);
            if (shown.isNull())
                return noMemory();
        }
    }
    return {shown, QString()};
}

} // namespace vistrel
