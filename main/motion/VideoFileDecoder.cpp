#include "main/motion/VideoFileDecoder.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace zorvexa {

struct VideoFileDecoder::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    SwsContext* convert = nullptr;
    int convertedWidth = 0, convertedHeight = 0, convertedFormat = -1; // what it was made for
    int stride = 0; // the bytes from row to row it writes, as OpenCV's reader lays them out
    int stream = -1;
    bool draining = false; // the file is read to its end; frames still held are taken out
    cv::Mat padded;        // the conversion's picture when its rows are wider than a frame's

    ~Impl() {
        sws_freeContext(convert);
        av_frame_free(&decoded);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // The next decoded frame into `decoded`.
    bool decodeNext() {
        for (;;) {
            const int received = avcodec_receive_frame(codec, decoded);
            if (received == 0)
                return true;
            if (received != AVERROR(EAGAIN) || draining)
                return false;
            if (av_read_frame(format, packet) < 0) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            const bool ours = packet->stream_index == stream;
            const int sent = ours ? avcodec_send_packet(codec, packet) : 0;
            av_packet_unref(packet);
            if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
                return false;
        }
    }
};

VideoFileDecoder::VideoFileDecoder() = default;
VideoFileDecoder::~VideoFileDecoder() = default;

bool VideoFileDecoder::open(const std::string& path) {
    close();
    auto x = std::make_unique<Impl>();
    if (avformat_open_input(&x->format, path.c_str(), nullptr, nullptr) < 0)
        return false;
    if (avformat_find_stream_info(x->format, nullptr) < 0)
        return false;
    const AVCodec* decoder = nullptr;
    x->stream = av_find_best_stream(x->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (x->stream < 0 || !decoder)
        return false;
    x->codec = avcodec_alloc_context3(decoder);
    x->packet = av_packet_alloc();
    x->decoded = av_frame_alloc();
    if (!x->codec || !x->packet || !x->decoded ||
        avcodec_parameters_to_context(x->codec, x->format->streams[x->stream]->codecpar) < 0 ||
        avcodec_open2(x->codec, decoder, nullptr) < 0)
        return false;
    impl_ = std::move(x);
    return true;
}

bool VideoFileDecoder::isOpened() const {
    return impl_ != nullptr;
}

void VideoFileDecoder::close() {
    impl_.reset();
}

bool VideoFileDecoder::read(cv::Mat& frame) {
    if (!impl_ || !impl_->decodeNext()) {
        frame.release();
        return false;
    }
    Impl& x = *impl_;
    const AVFrame* in = x.decoded;
    if (in->width <= 0 || in->height <= 0) {
        frame.release();
        return false;
    }
    // Made again only when the pictures change (sws_getCachedContext would make it again
    // for every frame of a full-range "yuvj" format, which it stores as another).
    if (!x.convert || in->width != x.convertedWidth || in->height != x.convertedHeight ||
        in->format != x.convertedFormat) {
        sws_freeContext(x.convert);
        x.convert =
            sws_getContext(in->width, in->height, static_cast<AVPixelFormat>(in->format), in->width,
                           in->height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        x.convertedWidth = in->width;
        x.convertedHeight = in->height;
        x.convertedFormat = in->format;
        // The conversion's result depends on the distance from row to row (it may write a
        // few pixels past a row's end), so it gets the one OpenCV's reader gives it: the row
        // bytes rounded up to 32 by widening the row to the next power of two that does so.
        for (int align = 1; align <= 32; align *= 2) {
            x.stride = (in->width + align - 1) / align * align * 3;
            if (x.stride % 32 == 0)
                break;
        }
    }
    if (!x.convert) {
        frame.release();
        return false;
    }
    // Where that layout is the row itself, the conversion writes straight into `frame`, a
    // view of a buffer with a spare row after the last; otherwise into a buffer of that
    // layout, copied out.
    const int stride = x.stride;
    const bool direct = stride == in->width * 3;
    cv::Mat& target = direct ? frame : x.padded;
    const cv::Size size(stride / 3, in->height);
    const bool fits =
        target.type() == CV_8UC3 && target.size() == size && target.isContinuous() &&
        target.datalimit - target.data >= static_cast<ptrdiff_t>(target.step[0]) * (in->height + 1);
    if (!fits) {
        cv::Mat buffer(in->height + 1, size.width, CV_8UC3);
        target = buffer.rowRange(0, in->height);
    }
    uint8_t* planes[4] = {target.data, nullptr, nullptr, nullptr};
    int strides[4] = {stride, 0, 0, 0};
    sws_scale(x.convert, in->data, in->linesize, 0, in->height, planes, strides);
    if (!direct)
        target.colRange(0, in->width).copyTo(frame);
    return true;
}

bool VideoFileDecoder::rewind() {
    if (!impl_)
        return false;
    if (av_seek_frame(impl_->format, impl_->stream, 0, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(impl_->format, -1, 0, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(impl_->codec);
    impl_->draining = false;
    return true;
}

double VideoFileDecoder::fps() const {
    if (!impl_)
        return 0;
    AVStream* s = impl_->format->streams[impl_->stream];
    const double rate = av_q2d(av_guess_frame_rate(impl_->format, s, nullptr));
    return std::isfinite(rate) && rate > 0 ? rate : av_q2d(s->avg_frame_rate);
}

double VideoFileDecoder::frameCount() const {
    if (!impl_)
        return 0;
    const AVStream* s = impl_->format->streams[impl_->stream];
    if (s->nb_frames > 0)
        return static_cast<double>(s->nb_frames);
    double seconds = static_cast<double>(impl_->format->duration) / AV_TIME_BASE;
    if (seconds < 1e-6)
        seconds = static_cast<double>(s->duration) * av_q2d(s->time_base);
    return std::floor(seconds * fps() + 0.5);
}

} // namespace zorvexa
