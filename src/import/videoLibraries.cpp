// The video libraries and the hundred libraries they pull in (codecs, TLS,
// SVG, ...) cost more to load than the whole window takes to appear, yet only
// the video sources use them. The window and vistrel-cli therefore define the
// functions the import code calls and load the libraries on the first call;
// linked with --as-needed, the executables no longer name them, so they stay
// out of every start that reads no video (a photo import included).
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

// A library the installation must hold (the package depends on it):
// when it is missing the call cannot go anywhere, so the program says which
// library it needed and stops rather than run on with a call that did nothing.
void* Symbol(const char* library, const char* name) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    void* symbol = handle != nullptr ? ::dlsym(handle, name) : nullptr;
    if (symbol == nullptr) {
        std::fprintf(stderr, "vistrel: unable to load %s from %s: %s\n", name, library,
                     ::dlerror());
        std::abort();
    }
    return symbol;
}

} // namespace

// Each function resolves its library's own definition once; the library's
// handle is shared by dlopen, so every library loads once.
#define VISTREL_ON_DEMAND(library, result, name, params, ...)                                      \
    extern "C" result name params {                                                                \
        static const auto real = reinterpret_cast<decltype(&name)>(Symbol(library, #name));        \
        return real(__VA_ARGS__);                                                                  \
    }

VISTREL_ON_DEMAND(VISTREL_AVUTIL, double, av_display_rotation_get, (const int32_t matrix[9]),
                  matrix)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, AVFrame*, av_frame_alloc, (void))
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_frame_free, (AVFrame * *frame), frame)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_frame_move_ref, (AVFrame * dst, AVFrame* src), dst, src)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_frame_unref, (AVFrame * frame), frame)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_free, (void* ptr), ptr)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_freep, (void* ptr), ptr)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void, av_log_set_level, (int level), level)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, void*, av_malloc, (size_t size), size)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, const AVPixFmtDescriptor*, av_pix_fmt_desc_get,
                  (enum AVPixelFormat pix_fmt), pix_fmt)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, int64_t, av_rescale, (int64_t a, int64_t b, int64_t c), a, b, c)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, int64_t, av_rescale_q, (int64_t a, AVRational bq, AVRational cq),
                  a, bq, cq)
VISTREL_ON_DEMAND(VISTREL_AVUTIL, int, av_strerror, (int errnum, char* errbuf, size_t errbuf_size),
                  errnum, errbuf, errbuf_size)

VISTREL_ON_DEMAND(VISTREL_AVCODEC, AVPacket*, av_packet_alloc, (void))
VISTREL_ON_DEMAND(VISTREL_AVCODEC, void, av_packet_free, (AVPacket * *pkt), pkt)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, void, av_packet_unref, (AVPacket * pkt), pkt)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, AVCodecContext*, avcodec_alloc_context3, (const AVCodec* codec),
                  codec)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, void, avcodec_free_context, (AVCodecContext * *avctx), avctx)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, int, avcodec_open2,
                  (AVCodecContext * avctx, const AVCodec* codec, AVDictionary** options), avctx,
                  codec, options)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, int, avcodec_parameters_to_context,
                  (AVCodecContext * codec, const AVCodecParameters* par), codec, par)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, int, avcodec_receive_frame,
                  (AVCodecContext * avctx, AVFrame* frame), avctx, frame)
VISTREL_ON_DEMAND(VISTREL_AVCODEC, int, avcodec_send_packet,
                  (AVCodecContext * avctx, const AVPacket* avpkt), avctx, avpkt)

VISTREL_ON_DEMAND(VISTREL_AVFORMAT, int, av_find_best_stream,
                  (AVFormatContext * ic, enum AVMediaType type, int wanted_stream_nb,
                   int related_stream, const AVCodec** decoder_ret, int flags),
                  ic, type, wanted_stream_nb, related_stream, decoder_ret, flags)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, int, av_read_frame, (AVFormatContext * s, AVPacket* pkt), s,
                  pkt)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, uint8_t*, av_stream_get_side_data,
                  (const AVStream* stream, enum AVPacketSideDataType type, size_t* size), stream,
                  type, size)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, AVFormatContext*, avformat_alloc_context, (void))
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, void, avformat_close_input, (AVFormatContext * *s), s)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, int, avformat_find_stream_info,
                  (AVFormatContext * ic, AVDictionary** options), ic, options)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, int, avformat_open_input,
                  (AVFormatContext * *ps, const char* url, const AVInputFormat* fmt,
                   AVDictionary** options),
                  ps, url, fmt, options)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, AVIOContext*, avio_alloc_context,
                  (unsigned char* buffer, int buffer_size, int write_flag, void* opaque,
                   int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
                   int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
                   int64_t (*seek)(void* opaque, int64_t offset, int whence)),
                  buffer, buffer_size, write_flag, opaque, read_packet, write_packet, seek)
VISTREL_ON_DEMAND(VISTREL_AVFORMAT, void, avio_context_free, (AVIOContext * *s), s)

VISTREL_ON_DEMAND(VISTREL_SWSCALE, void, sws_freeContext, (struct SwsContext * swsContext),
                  swsContext)
VISTREL_ON_DEMAND(VISTREL_SWSCALE, struct SwsContext*, sws_getCachedContext,
                  (struct SwsContext * context, int srcW, int srcH, enum AVPixelFormat srcFormat,
                   int dstW, int dstH, enum AVPixelFormat dstFormat, int flags,
                   SwsFilter* srcFilter, SwsFilter* dstFilter, const double* param),
                  context, srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter,
                  dstFilter, param)
VISTREL_ON_DEMAND(VISTREL_SWSCALE, const int*, sws_getCoefficients, (int colorspace), colorspace)
VISTREL_ON_DEMAND(VISTREL_SWSCALE, int, sws_scale,
                  (struct SwsContext * c, const uint8_t* const srcSlice[], const int srcStride[],
                   int srcSliceY, int srcSliceH, uint8_t* const dst[], const int dstStride[]),
                  c, srcSlice, srcStride, srcSliceY, srcSliceH, dst, dstStride)
VISTREL_ON_DEMAND(VISTREL_SWSCALE, int, sws_setColorspaceDetails,
                  (struct SwsContext * c, const int inv_table[4], int srcRange, const int table[4],
                   int dstRange, int brightness, int contrast, int saturation),
                  c, inv_table, srcRange, table, dstRange, brightness, contrast, saturation)
