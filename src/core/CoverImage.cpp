// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoverImage.h"

#include "CodecHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <memory>

namespace stavio {

namespace {

struct SwsFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// Larger pictures are not decoded: their frame alone would take most of a worker's memory.
constexpr long long kMaxDecodedPixels = 9'000'000;

Frame Decode(const std::string& picture, AVCodecID codecId, int lowres) {
    const AVCodec* codec = avcodec_find_decoder(codecId);
    if (!codec || picture.empty() || picture.size() > (64u << 20))
        return nullptr;
    CodecContext context(avcodec_alloc_context3(codec));
    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    if (!context || !packet || !frame)
        return nullptr;
    context->lowres = lowres;
    context->max_pixels = kMaxDecodedPixels;
    if (avcodec_open2(context.get(), codec, nullptr) < 0 ||
        av_new_packet(packet.get(), static_cast<int>(picture.size())) < 0)
        return nullptr;
    std::memcpy(packet->data, picture.data(), picture.size());
    avcodec_send_packet(context.get(), packet.get());
    avcodec_send_packet(context.get(), nullptr);
    if (avcodec_receive_frame(context.get(), frame.get()) < 0 || frame->width <= 0 ||
        frame->height <= 0)
        return nullptr;
    return frame;
}

std::string Encode(const AVFrame& source, int width, int height) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec)
        return {};
    Frame scaled(av_frame_alloc());
    scaled->width = width;
    scaled->height = height;
    scaled->format = AV_PIX_FMT_YUVJ420P;
    std::unique_ptr<SwsContext, SwsFree> scaler(
        sws_getContext(source.width, source.height, static_cast<AVPixelFormat>(source.format),
                       width, height, AV_PIX_FMT_YUVJ420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler || av_frame_get_buffer(scaled.get(), 0) < 0 ||
        sws_scale(scaler.get(), source.data, source.linesize, 0, source.height, scaled->data,
                  scaled->linesize) != height)
        return {};

    CodecContext context(avcodec_alloc_context3(codec));
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUVJ420P;
    context->time_base = AVRational{1, 25};
    // A fixed quantiser of 3: small files without visible blocks.
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = FF_QP2LAMBDA * 3;
    scaled->quality = context->global_quality;
    Packet packet(av_packet_alloc());
    if (avcodec_open2(context.get(), codec, nullptr) < 0 ||
        avcodec_send_frame(context.get(), scaled.get()) < 0 ||
        avcodec_send_frame(context.get(), nullptr) < 0 ||
        avcodec_receive_packet(context.get(), packet.get()) < 0)
        return {};
    return std::string(reinterpret_cast<const char*>(packet->data),
                       static_cast<size_t>(packet->size));
}

} // namespace

std::string CoverJpeg(const std::string& picture, int codecId, int width, int height, int maxSide) {
    // JPEG decodes at 1/2, 1/4 or 1/8 of its size, enough for the cover and far lighter.
    int lowres = 0;
    if (codecId == AV_CODEC_ID_MJPEG)
        while (lowres < 3 && std::max(width, height) >> (lowres + 1) >= maxSide)
            ++lowres;
    if (static_cast<long long>(width >> lowres) * (height >> lowres) > kMaxDecodedPixels)
        return {};
    const Frame frame = Decode(picture, static_cast<AVCodecID>(codecId), lowres);
    if (!frame || static_cast<long long>(frame->width) * frame->height > kMaxDecodedPixels)
        return {};
    const int longest = std::max(frame->width, frame->height);
    if (longest <= maxSide && lowres == 0 && codecId == AV_CODEC_ID_MJPEG)
        return picture;
    const double scale = std::min(1.0, static_cast<double>(maxSide) / longest);
    const int scaledWidth = std::max(1, static_cast<int>(frame->width * scale + 0.5));
    const int scaledHeight = std::max(1, static_cast<int>(frame->height * scale + 0.5));
    return Encode(*frame, scaledWidth, scaledHeight);
}

} // namespace stavio
