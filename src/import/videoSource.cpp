#include "videoSource.h"

#include "localFiles.h"
#include "pictureLoader.h"

#include <QFile>
#include <QPainter>
#include <QTransform>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace vistrel {

namespace {

// Some decoders copy a stream's colour fields straight from its bytes, so a
// damaged clip can hold numbers no enumerator names; read as an enum they
// would be undefined behaviour. The value is taken as the int it is stored as.
template <class Enum> int RawEnumValue(const Enum& field) {
    static_assert(sizeof(Enum) == sizeof(int));
    int value = 0;
    std::memcpy(&value, &field, sizeof value);
    return value;
}

constexpr int IoBufferSize = 64 * 1024;

QString FfmpegWords(int error) {
    char words[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(error, words, sizeof words) < 0)
        return QStringLiteral("error %1").arg(error);
    return QString::fromUtf8(words);
}

QString NotAClip(const QString& why) {
    return QStringLiteral("not a video clip Vistrel can read: %1").arg(why);
}

// Demuxers that read no clip of their own: still pictures and text art (a PNG
// or a .txt file would otherwise open as a one-frame "video"), and playlists
// that would pull in other files.
bool IsRefusedDemuxer(const char* name) {
    const QByteArray demuxer(name);
    static const QByteArray refused[] = {"image2", "tty",    "bin",   "idf",      "adf",
                                         "xbin",   "concat", "hls",   "dash",     "ffmetadata",
                                         "sdp",    "rtsp",   "lavfi", "subviewer"};
    if (demuxer.endsWith("_pipe"))
        return true;
    for (const QByteArray& each : refused)
        if (demuxer == each)
            return true;
    return false;
}

struct TFormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct TCodecCloser {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct TFrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct TPacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct TScalerFreer {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
struct TIoFreer {
    void operator()(AVIOContext* io) const {
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

int ReadFromFile(void* opaque, std::uint8_t* buffer, int size) {
    const qint64 got = static_cast<QFile*>(opaque)->read(reinterpret_cast<char*>(buffer), size);
    if (got < 0)
        return AVERROR(EIO);
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

std::int64_t SeekInFile(void* opaque, std::int64_t offset, int whence) {
    auto* file = static_cast<QFile*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return file->size();
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += file->pos();
        break;
    case SEEK_END:
        offset += file->size();
        break;
    default:
        return AVERROR(EINVAL);
    }
    // A file cut short ends before where its index says the data lies:
    // seeking there fails, as reading it would, rather than finding nothing.
    if (offset < 0 || offset > file->size())
        return AVERROR(EIO);
    return file->seek(offset) ? offset : AVERROR(EIO);
}

// Every byte comes from the one file opened through the custom reader: a
// demuxer that asks for another file or a URL is told no.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

std::int64_t FrameDuration(const AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
    return frame.duration;
#else
    return frame.pkt_duration;
#endif
}

} // namespace

struct TVideoSource::TState {
    QFile File;
    std::unique_ptr<AVIOContext, TIoFreer> Io;
    std::unique_ptr<AVFormatContext, TFormatCloser> Format;
    std::unique_ptr<AVCodecContext, TCodecCloser> Decoder;
    std::unique_ptr<AVPacket, TPacketFreer> Packet{av_packet_alloc()};
    // The frame decoded ahead of the one being returned, when HaveAhead.
    std::unique_ptr<AVFrame, TFrameFreer> Ahead{av_frame_alloc()};
    std::unique_ptr<AVFrame, TFrameFreer> Current{av_frame_alloc()};
    std::unique_ptr<SwsContext, TScalerFreer> Scaler;
    const SwsContext* ScalerSet = nullptr; // the context the colour details below are set on
    int ScalerColorspace = -1;
    int ScalerFullRange = -1;
    int StreamIndex = -1;
    AVRational TimeBase{1, 1000};
    QSize FrameSize; // as coded, before QuarterTurns
    // How far to turn each picture counter-clockwise, in quarter turns, to
    // show it upright (a phone's portrait clip is coded on its side).
    int QuarterTurns = 0;
    int Frames = -1;
    qint64 Length = -1;

    // Reading state, reset by Rewind.
    bool HaveAhead = false;
    bool Draining = false; // the demuxer is done; the decoder gives what it holds
    bool Finished = false; // the decoder is empty too
    QString PendingError;  // a failure to report once the decoder is drained
    QString Error;
    int Read = 0;
    int Packets = 0;                      // of the video stream, demuxed
    std::int64_t Origin = AV_NOPTS_VALUE; // the first frame's timestamp
    std::int64_t LastTimestamp = AV_NOPTS_VALUE;
    std::int64_t LastStep = 0;
    // One frame at the stream's average rate, for a last frame that gives no
    // duration of its own.
    std::int64_t RateStep = 0;

    QString OpenStream();

    void Reset() {
        HaveAhead = false;
        Draining = false;
        Finished = false;
        PendingError.clear();
        Error.clear();
        Read = 0;
        Packets = 0;
        LastTimestamp = AV_NOPTS_VALUE;
        LastStep = 0;
        av_frame_unref(Ahead.get());
        av_frame_unref(Current.get());
    }

    qint64 Milliseconds(std::int64_t timestamp) const {
        return av_rescale_q(timestamp - Origin, TimeBase, AVRational{1, 1000});
    }

    // The frame's time, in the stream's time base: its best-effort timestamp,
    // or one frame step after the last when the stream gives none; never
    // before the last, so no duration comes out negative.
    std::int64_t Timestamp(const AVFrame& frame) {
        std::int64_t timestamp = frame.best_effort_timestamp;
        if (timestamp == AV_NOPTS_VALUE)
            timestamp = LastTimestamp == AV_NOPTS_VALUE ? 0 : LastTimestamp + LastStep;
        if (Origin == AV_NOPTS_VALUE)
            Origin = timestamp;
        if (LastTimestamp != AV_NOPTS_VALUE && timestamp < LastTimestamp)
            timestamp = LastTimestamp;
        if (LastTimestamp != AV_NOPTS_VALUE && timestamp > LastTimestamp)
            LastStep = timestamp - LastTimestamp;
        LastTimestamp = timestamp;
        return timestamp;
    }

    // Decodes the next frame into Ahead; false at the end or on a failure
    // (then Error is set).
    bool DecodeAhead() {
        while (!Finished) {
            const int received = avcodec_receive_frame(Decoder.get(), Ahead.get());
            if (received == 0) {
                if (Ahead->width <= 0 || Ahead->height <= 0 || Ahead->format < 0) {
                    av_frame_unref(Ahead.get());
                    continue;
                }
                // Our own timestamp, kept where the frame's was.
                Ahead->best_effort_timestamp = Timestamp(*Ahead);
                return true;
            }
            if (received == AVERROR_EOF) {
                Finished = true;
                break;
            }
            if (received != AVERROR(EAGAIN)) {
                return Fail(FfmpegWords(received));
            }
            if (Draining) {
                // The decoder wants input after the flush: nothing more will come.
                Finished = true;
                break;
            }
            const int demuxed = av_read_frame(Format.get(), Packet.get());
            if (demuxed < 0) {
                if (demuxed != AVERROR_EOF)
                    PendingError = FfmpegWords(demuxed);
                else if (Format->pb && Format->pb->error < 0)
                    PendingError = FfmpegWords(Format->pb->error);
                else if (Frames > 0 && Packets < Frames)
                    // The index lists frames whose data is not in the file.
                    PendingError = QStringLiteral("the file ends before %1 of its %2 frames")
                                       .arg(Frames - Packets)
                                       .arg(Frames);
                // Whatever the decoder holds was read whole: take it first.
                Draining = true;
                avcodec_send_packet(Decoder.get(), nullptr);
                continue;
            }
            if (Packet->stream_index != StreamIndex) {
                av_packet_unref(Packet.get());
                continue;
            }
            ++Packets;
            if (Packet->flags & AV_PKT_FLAG_CORRUPT) {
                // Only part of it was there: decoding it would make a wrong
                // picture, so the clip ends here.
                av_packet_unref(Packet.get());
                PendingError = QStringLiteral("the file ends part-way through a frame");
                Draining = true;
                avcodec_send_packet(Decoder.get(), nullptr);
                continue;
            }
            const int sent = avcodec_send_packet(Decoder.get(), Packet.get());
            av_packet_unref(Packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN))
                return Fail(FfmpegWords(sent));
        }
        if (!PendingError.isEmpty())
            return Fail(PendingError);
        return false;
    }

    bool Fail(const QString& why) {
        Finished = true;
        HaveAhead = false;
        Error = QStringLiteral("the clip is damaged or cut short: %1").arg(why);
        return false;
    }

    // The size the pictures are shown at, turned upright.
    QSize ShownSize() const { return QuarterTurns % 2 ? FrameSize.transposed() : FrameSize; }

    // Current as an opaque RGB32 picture, upright, transparent parts on white.
    bool Convert(QImage& picture) {
        const auto format = static_cast<AVPixelFormat>(Current->format);
        const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
        const bool alpha = descriptor && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
        // A stream may change size part-way; its frames still come at the
        // one size the source gives.
        Scaler.reset(sws_getCachedContext(Scaler.release(), Current->width, Current->height, format,
                                          FrameSize.width(), FrameSize.height(), AV_PIX_FMT_RGB32,
                                          SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!Scaler)
            return Fail(QStringLiteral("its pictures cannot be converted to RGB"));
        // The frame's own matrix and range (an HD clip's BT.709, a phone's
        // full-range levels); libswscale assumes BT.601 at TV range. For RGB
        // frames there is nothing to set, and the call fails harmlessly.
        // Set once for each new context or change, as it rebuilds the tables.
        const int colorspace = RawEnumValue(Current->colorspace);
        const int fullRange = RawEnumValue(Current->color_range) == AVCOL_RANGE_JPEG;
        if (Scaler.get() != ScalerSet || colorspace != ScalerColorspace ||
            fullRange != ScalerFullRange) {
            sws_setColorspaceDetails(Scaler.get(), sws_getCoefficients(colorspace), fullRange,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            ScalerSet = Scaler.get();
            ScalerColorspace = colorspace;
            ScalerFullRange = fullRange;
        }
        QImage converted(FrameSize, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (converted.isNull())
            return Fail(QStringLiteral("not enough memory for a frame"));
        std::uint8_t* planes[4] = {converted.bits(), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(converted.bytesPerLine()), 0, 0, 0};
        const int rows = sws_scale(Scaler.get(), Current->data, Current->linesize, 0,
                                   Current->height, planes, strides);
        if (rows <= 0)
            return Fail(QStringLiteral("a frame could not be converted to RGB"));
        if (alpha) {
            picture = QImage(FrameSize, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            painter.drawImage(0, 0, converted);
        } else {
            picture = std::move(converted);
        }
        if (QuarterTurns != 0) {
            picture = picture.transformed(QTransform().rotate(-90.0 * QuarterTurns));
            picture.convertTo(QImage::Format_RGB32);
            if (picture.isNull())
                return Fail(QStringLiteral("not enough memory for a frame"));
        }
        return true;
    }
};

// (Re)opens the clip from the file's start: the demuxer, the best video
// stream and its decoder. Returns why not, or nothing.
QString TVideoSource::TState::OpenStream() {
    Decoder.reset();
    Format.reset();
    Io.reset();
    Scaler.reset();
    ScalerSet = nullptr;
    Origin = AV_NOPTS_VALUE;
    if (!File.seek(0))
        return QStringLiteral("the file cannot be read from its start");

    auto* buffer = static_cast<std::uint8_t*>(av_malloc(IoBufferSize));
    if (!buffer)
        return QStringLiteral("not enough memory to read a video clip");
    Io.reset(avio_alloc_context(buffer, IoBufferSize, 0, &File, ReadFromFile, nullptr, SeekInFile));
    if (!Io) {
        av_free(buffer);
        return QStringLiteral("not enough memory to read a video clip");
    }

    AVFormatContext* format = avformat_alloc_context();
    if (!format)
        return QStringLiteral("not enough memory to read a video clip");
    format->pb = Io.get();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->io_open = RefuseNestedOpen;
    // On failure avformat_open_input frees the context itself.
    int result = avformat_open_input(&format, nullptr, nullptr, nullptr);
    if (result < 0)
        return NotAClip(FfmpegWords(result));
    Format.reset(format);
    if (IsRefusedDemuxer(format->iformat->name))
        return NotAClip(QStringLiteral("it is a still picture or text, not a clip"));
    result = avformat_find_stream_info(format, nullptr);
    if (result < 0)
        return NotAClip(FfmpegWords(result));

    const AVCodec* codec = nullptr;
    result = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (result == AVERROR_STREAM_NOT_FOUND)
        return NotAClip(QStringLiteral("it holds no video"));
    if (result == AVERROR_DECODER_NOT_FOUND || (result >= 0 && !codec))
        return NotAClip(QStringLiteral("its video is in a format no installed decoder "
                                       "takes"));
    if (result < 0)
        return NotAClip(FfmpegWords(result));
    StreamIndex = result;
    AVStream* stream = format->streams[result];
    if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
        return NotAClip(QStringLiteral("its only picture is a cover, not a clip"));

    const AVCodecParameters* parameters = stream->codecpar;
    const std::int64_t width = parameters->width, height = parameters->height;
    if (width <= 0 || height <= 0)
        return NotAClip(QStringLiteral("its video gives no frame size"));
    if (width * height > MaxPicturePixels)
        return QStringLiteral("the clip's frames are %1 x %2 pixels, more than the %3 "
                              "megapixels Vistrel imports")
            .arg(width)
            .arg(height)
            .arg(MaxPicturePixels / 1'000'000.0);
    FrameSize = QSize(static_cast<int>(width), static_cast<int>(height));
    QuarterTurns = 0;
    if (const auto* matrix = reinterpret_cast<const std::int32_t*>(
            av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr))) {
        const double degrees = av_display_rotation_get(matrix); // counter-clockwise
        if (std::isfinite(degrees))
            QuarterTurns = ((static_cast<int>(std::lround(degrees / 90.0)) % 4) + 4) % 4;
    }

    Decoder.reset(avcodec_alloc_context3(codec));
    if (!Decoder)
        return QStringLiteral("not enough memory to read a video clip");
    result = avcodec_parameters_to_context(Decoder.get(), parameters);
    if (result >= 0) {
        Decoder->thread_count = 0; // as many as the machine has
        // A stream that grows part-way past the bound is refused by the
        // decoder before it allocates the frame.
        Decoder->max_pixels = MaxPicturePixels;
        Decoder->pkt_timebase = stream->time_base;
        result = avcodec_open2(Decoder.get(), codec, nullptr);
    }
    if (result < 0)
        return NotAClip(FfmpegWords(result));

    TimeBase = stream->time_base;
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0)
        RateStep = av_rescale_q(1, av_inv_q(stream->avg_frame_rate), stream->time_base);
    if (stream->nb_frames > 0 && stream->nb_frames <= INT_MAX)
        Frames = static_cast<int>(stream->nb_frames);
    if (stream->duration > 0)
        Length = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    else if (format->duration > 0)
        Length = av_rescale(format->duration, 1000, AV_TIME_BASE);

    for (unsigned index = 0; index < format->nb_streams; ++index)
        if (static_cast<int>(index) != StreamIndex)
            format->streams[index]->discard = AVDISCARD_ALL;

    return {};
}

TVideoSource::TVideoSource(std::unique_ptr<TState> state) : State(std::move(state)) {}

TVideoSource::~TVideoSource() = default;

int TVideoSource::FrameCount() const {
    return State->Frames;
}

qint64 TVideoSource::LengthMs() const {
    return State->Length;
}

int TVideoSource::LoopCount() const {
    return -1;
}

QSize TVideoSource::Size() const {
    return State->ShownSize();
}

bool TVideoSource::Sampled() const {
    return true;
}

QString TVideoSource::Error() const {
    return State->Error;
}

int TVideoSource::FramesRead() const {
    return State->Read;
}

bool TVideoSource::Next(TSourceFrame& frame) {
    TState& state = *State;
    // A frame whose successor failed to decode is still returned whole; the
    // failure shows on the call after it.
    if (!state.HaveAhead) {
        if (state.Read > 0)
            return false;
        // A stream that ends before its first picture is not an empty clip
        // the caller could take: it must hear why nothing came.
        if (!state.DecodeAhead()) {
            if (state.Error.isEmpty())
                state.Fail(QStringLiteral("no frame of it can be decoded"));
            return false;
        }
    }
    av_frame_unref(state.Current.get());
    av_frame_move_ref(state.Current.get(), state.Ahead.get());
    state.HaveAhead = state.DecodeAhead();

    const std::int64_t start = state.Current->best_effort_timestamp;
    std::int64_t end = 0;
    if (state.HaveAhead) {
        end = state.Ahead->best_effort_timestamp;
    } else {
        std::int64_t duration = FrameDuration(*state.Current);
        if (duration <= 0)
            duration = state.LastStep > 0 ? state.LastStep : state.RateStep;
        end = start + duration;
    }
    if (!state.Convert(frame.Picture))
        return false;
    frame.StartMs = state.Milliseconds(start);
    frame.DurationMs = state.Milliseconds(end) - frame.StartMs;
    ++state.Read;
    return true;
}

// Reopened rather than sought: seeking to the start lands on a key frame
// after it in some containers (an MPEG transport stream), which would lose
// the frames before it.
bool TVideoSource::Rewind() {
    TState& state = *State;
    state.Reset();
    const QSize size = state.ShownSize();
    QString why = state.OpenStream();
    if (why.isEmpty() && state.ShownSize() != size)
        why = QStringLiteral("the file changed since it was opened");
    if (!why.isEmpty()) {
        state.Finished = true;
        state.Error = QStringLiteral("the clip cannot be read again: %1").arg(why);
        return false;
    }
    return true;
}

std::unique_ptr<IAnimationSource> OpenVideoSource(const QString& fileName, QString* reason) {
    // The libraries' own log would go to the terminal the program started in;
    // every failure reaches the user through reason or Error() instead.
    av_log_set_level(AV_LOG_QUIET);

    QString why;
    const auto refuse = [&](const QString& words) -> std::unique_ptr<IAnimationSource> {
        if (reason)
            *reason = words;
        return nullptr;
    };
    auto state = std::make_unique<TVideoSource::TState>();
    if (!OpenLocalFile(state->File, fileName, &why))
        return refuse(why);
    if (state->File.size() == 0)
        return refuse(NotAClip(QStringLiteral("the file is empty")));
    if (!state->Packet || !state->Ahead || !state->Current)
        return refuse(QStringLiteral("not enough memory to read a video clip"));

    why = state->OpenStream();
    if (!why.isEmpty())
        return refuse(why);
    return std::unique_ptr<IAnimationSource>(new TVideoSource(std::move(state)));
}

} // namespace vistrel
