// SPDX-License-Identifier: GPL-3.0-or-later
#include "Conversion.h"

#include "CodecHandles.h"
#include "CoverImage.h"
#include "FileLayer.h"
#include "PathDrop.h"
#include "SongTags.h"
#include "TextFile.h"
#include "text.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}
#include <lame/lame.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace stavio {

namespace {

// Raised when a change in this file makes earlier conversions differ from new ones.
constexpr int kConverterRevision = 1;

// The demuxers of the accepted formats, and MP3's so that an MP3 file under another name is
// recognised and refused.
constexpr const char* kDemuxers = "flac,ogg,mov,wav,w64,aiff,wv,asf,aac,mp3";

struct FormatFree {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct LameFree {
    void operator()(lame_global_flags* l) const { lame_close(l); }
};

ConversionResult Failure(ConversionStatus status, int errnoValue = 0) {
    ConversionResult result;
    result.status = status;
    result.errnoValue = errnoValue;
    return result;
}

// The MP3 file being written: a temporary file beside the destination, renamed over it by
// Commit and removed otherwise.
class OutputFile {
public:
    explicit OutputFile(const std::string& destination)
        : file_(destination, {.temporary = TemporaryName(destination),
                              .replace = Replace::Always,
                              .flush = Flush::No,
                              .newFileMode = 0644}) {
        buffer_.reserve(kBufferSize);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int Error() const { return file_.Error(); }
    std::uint64_t Size() const { return written_ + buffer_.size(); }

    void Write(const void* data, size_t size) {
        buffer_.append(static_cast<const char*>(data), size);
        if (buffer_.size() >= kBufferSize)
            Flush();
    }
    void WriteAt(std::uint64_t offset, const void* data, size_t size) {
        Flush();
        file_.WriteAt({static_cast<const char*>(data), size}, static_cast<off_t>(offset));
    }
    bool Commit() {
        Flush();
        return file_.Place() == 0;
    }

private:
    static constexpr size_t kBufferSize = 256 * 1024;
    static std::string TemporaryName(const std::string& destination) {
        static std::atomic<unsigned> counter{0};
        return destination.substr(destination.find_last_of('/') + 1) + ".part-" +
               std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    }
    void Flush() {
        if (file_.Write(buffer_) == 0)
            written_ += buffer_.size();
        buffer_.clear();
    }

    BesideFile file_;
    std::string buffer_;
    std::uint64_t written_ = 0;
};

// ENOENT for a path whose folder is missing becomes ENOTDIR, so the report names the one that
// is missing, as file errors elsewhere do.
int PathErrno(int errnoValue, const std::string& path) {
    const auto slash = path.rfind('/');
    struct stat st {};
    if (errnoValue == ENOENT && slash != std::string::npos && slash > 0 &&
        ::stat(path.substr(0, slash).c_str(), &st) != 0)
        return ENOTDIR;
    return errnoValue;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::vector<std::pair<std::string, std::string>> DemuxerTags(const AVFormatContext& format,
                                                             const AVStream& audio) {
    std::vector<std::pair<std::string, std::string>> tags;
    for (const AVDictionary* dictionary : {format.metadata, audio.metadata}) {
        const AVDictionaryEntry* entry = nullptr;
        while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX)))
            tags.emplace_back(entry->key, entry->value);
    }
    return tags;
}

// The front cover among the pictures the demuxer found, else the first picture.
std::string FrontCover(const AVFormatContext& format) {
    const AVStream* chosen = nullptr;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream* stream = format.streams[i];
        if (!(stream->disposition & AV_DISPOSITION_ATTACHED_PIC) || stream->attached_pic.size <= 0)
            continue;
        const AVDictionaryEntry* kind = av_dict_get(stream->metadata, "comment", nullptr, 0);
        const bool front = kind && std::string(kind->value) == "Cover (front)";
        if (!chosen || front)
            chosen = stream;
        if (front)
            break;
    }
    if (!chosen)
        return {};
    const std::string picture(reinterpret_cast<const char*>(chosen->attached_pic.data),
                              static_cast<size_t>(chosen->attached_pic.size));
    return CoverJpeg(picture, chosen->codecpar->codec_id, chosen->codecpar->width,
                     chosen->codecpar->height);
}

bool SetQuality(lame_global_flags* lame, ConversionQuality quality) {
    switch (quality) {
    case ConversionQuality::V0:
    case ConversionQuality::V2:
    case ConversionQuality::V5:
        return lame_set_VBR(lame, vbr_default) == 0 &&
               lame_set_VBR_q(lame, quality == ConversionQuality::V0   ? 0
                                    : quality == ConversionQuality::V2 ? 2
                                                                       : 5) == 0;
    default:
        return lame_set_VBR(lame, vbr_off) == 0 &&
               lame_set_brate(lame, HighestBitRate(quality)) == 0;
    }
}

// The decoding and encoding of one song; Run returns what a caller sees.
class Converter {
public:
    Converter(const ConversionSettings& settings, const std::atomic<bool>& cancel)
        : settings_(settings), cancel_(cancel) {}

    ConversionResult Run(const std::string& source, const std::string& destination) {
        if (IsMp3Name(source))
            return Failure(ConversionStatus::Mp3Source);
        // Opened once to tell why it cannot be read; without blocking on a pipe.
        UniqueFd probe(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!probe.Valid())
            return Failure(ConversionStatus::SourceUnreadable, PathErrno(errno, source));
        struct stat st {};
        const int statResult = ::fstat(probe.Get(), &st);
        probe.Reset();
        if (statResult == 0 && S_ISDIR(st.st_mode))
            return Failure(ConversionStatus::SourceUnreadable, EISDIR);
        if (statResult != 0 || !S_ISREG(st.st_mode))
            return Failure(ConversionStatus::Undecodable);
        if (SameFile(source, destination) || source == destination)
            return Failure(ConversionStatus::OverSource);

        if (ConversionResult opened = Open(source); !opened.Ok())
            return opened;
        if (cancel_.load())
            return Failure(ConversionStatus::Cancelled);
        const SongTagMap tags = ReadSongTags(source, DemuxerTags(*format_, *audio_));
        const std::string cover = settings_.embedCover ? FrontCover(*format_) : std::string();
        if (!StartEncoder())
            return Failure(ConversionStatus::EncoderFailed);

        OutputFile output(destination);
        if (output.Error() != 0)
            return Failure(ConversionStatus::WriteFailed, PathErrno(output.Error(), destination));
        output_ = &output;
        const std::string id3v2 = RenderId3v2(tags, cover);
        output.Write(id3v2.data(), id3v2.size());
        if (ConversionResult decoded = DecodeAll(); !decoded.Ok())
            return decoded;

        // LAME's Info frame, written first as a placeholder, now knows the frame count, the
        // encoder's delay and padding.
        std::vector<unsigned char> infoFrame(2880);
        const size_t infoSize =
            lame_get_lametag_frame(lame_.get(), infoFrame.data(), infoFrame.size());
        const std::string id3v1 = RenderId3v1(tags);
        output.Write(id3v1.data(), id3v1.size());
        if (infoSize > 0 && infoSize <= infoFrame.size())
            output.WriteAt(id3v2.size(), infoFrame.data(), infoSize);
        if (cancel_.load())
            return Failure(ConversionStatus::Cancelled);
        const std::uint64_t size = output.Size();
        if (!output.Commit())
            return Failure(ConversionStatus::WriteFailed, output.Error());
        ConversionResult result;
        result.bytes = size;
        result.samples = samplesOut_;
        return result;
    }

private:
    ConversionResult Open(const std::string& source) {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        av_dict_set(&options, "format_whitelist", kDemuxers, 0);
        AVFormatContext* format = nullptr;
        const int opened =
            avformat_open_input(&format, ("file:" + source).c_str(), nullptr, &options);
        av_dict_free(&options);
        if (opened < 0)
            return Failure(ConversionStatus::Undecodable);
        format_.reset(format);
        if (avformat_find_stream_info(format, nullptr) < 0)
            return Failure(ConversionStatus::Undecodable);
        if (std::string(format->iformat->name) == "mp3")
            return Failure(ConversionStatus::Mp3Source);
        const AVCodec* codec = nullptr;
        const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (index < 0 || !codec)
            return Failure(ConversionStatus::Undecodable);
        audio_ = format->streams[index];
        if (audio_->codecpar->codec_id == AV_CODEC_ID_MP3)
            return Failure(ConversionStatus::Mp3Source);
        for (unsigned i = 0; i < format->nb_streams; ++i)
            if (static_cast<int>(i) != index)
                format->streams[i]->discard = AVDISCARD_ALL;
        decoder_.reset(avcodec_alloc_context3(codec));
        if (!decoder_ || avcodec_parameters_to_context(decoder_.get(), audio_->codecpar) < 0 ||
            avcodec_open2(decoder_.get(), codec, nullptr) < 0 || decoder_->sample_rate <= 0)
            return Failure(ConversionStatus::Undecodable);
        const int channels = decoder_->ch_layout.nb_channels;
        channels_ = channels == 1 ? 1 : 2;
        // Rates of the CD's family go to 44.1 kHz, all others to 48 kHz.
        rate_ = decoder_->sample_rate % 11025 == 0 ? 44100 : 48000;
        return {};
    }

    bool StartEncoder() {
        // LAME fills tables shared by all its encoders when one starts.
        static std::mutex starting;
        std::lock_guard lock(starting);
        lame_.reset(lame_init());
        lame_global_flags* lame = lame_.get();
        return lame && lame_set_in_samplerate(lame, rate_) == 0 &&
               lame_set_out_samplerate(lame, rate_) == 0 &&
               lame_set_num_channels(lame, channels_) == 0 &&
               lame_set_mode(lame, channels_ == 1 ? MONO : JOINT_STEREO) == 0 &&
               SetQuality(lame, settings_.quality) && lame_set_bWriteVbrTag(lame, 1) == 0 &&
               lame_init_params(lame) >= 0;
    }

    bool StartResampler(const AVFrame& frame) {
        AVChannelLayout in{};
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
            av_channel_layout_check(&frame.ch_layout) == 0)
            av_channel_layout_default(&in, frame.ch_layout.nb_channels);
        else
            av_channel_layout_copy(&in, &frame.ch_layout);
        AVChannelLayout out{};
        av_channel_layout_default(&out, channels_);
        SwrContext* resampler = nullptr;
        const int made = swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_FLTP, rate_, &in,
                                             static_cast<AVSampleFormat>(frame.format),
                                             frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        resampler_.reset(resampler);
        inRate_ = frame.sample_rate;
        return made >= 0 && swr_init(resampler) >= 0;
    }

    // Resamples and encodes a frame, or what the resampler holds back when frame is null.
    bool Encode(const AVFrame* frame) {
        const int inSamples = frame ? frame->nb_samples : 0;
        const int room = swr_get_out_samples(resampler_.get(), inSamples) + 32;
        if (room <= 0)
            return true;
        for (auto& channel : pcm_)
            if (static_cast<int>(channel.size()) < room)
                channel.resize(static_cast<size_t>(room));
        uint8_t* planes[2] = {reinterpret_cast<uint8_t*>(pcm_[0].data()),
                              reinterpret_cast<uint8_t*>(pcm_[1].data())};
        const int samples = swr_convert(
            resampler_.get(), planes, room,
            frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, inSamples);
        if (samples < 0)
            return false;
        if (samples == 0)
            return true;
        mp3_.resize(static_cast<size_t>(samples) * 5 / 4 + 7200);
        const float* right = channels_ == 1 ? pcm_[0].data() : pcm_[1].data();
        const int bytes = lame_encode_buffer_ieee_float(lame_.get(), pcm_[0].data(), right, samples,
                                                        mp3_.data(), static_cast<int>(mp3_.size()));
        if (bytes < 0)
            return false;
        output_->Write(mp3_.data(), static_cast<size_t>(bytes));
        samplesOut_ += samples;
        return true;
    }

    // Takes the decoder's frames; false on an encoder error.
    bool ReceiveFrames(AVFrame* frame) {
        for (;;) {
            const int received = avcodec_receive_frame(decoder_.get(), frame);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0) {
                ++errors_;
                return true;
            }
            if (!resampler_ && !StartResampler(*frame))
                return false;
            samplesIn_ += frame->nb_samples;
            const bool encoded = Encode(frame);
            av_frame_unref(frame);
            if (!encoded)
                return false;
        }
    }

    ConversionResult DecodeAll() {
        Packet packet(av_packet_alloc());
        Frame frame(av_frame_alloc());
        int packets = 0;
        for (;;) {
            if (cancel_.load())
                return Failure(ConversionStatus::Cancelled);
            const int read = av_read_frame(format_.get(), packet.get());
            if (read < 0)
                break; // the end, or damage that the checks below judge
            if (packet->stream_index != audio_->index) {
                av_packet_unref(packet.get());
                continue;
            }
            ++packets;
            const int sent = avcodec_send_packet(decoder_.get(), packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN))
                ++errors_;
            if (!ReceiveFrames(frame.get()))
                return Failure(ConversionStatus::EncoderFailed);
            if (output_->Error() != 0)
                return Failure(ConversionStatus::WriteFailed, output_->Error());
        }
        avcodec_send_packet(decoder_.get(), nullptr);
        if (!ReceiveFrames(frame.get()))
            return Failure(ConversionStatus::EncoderFailed);
        if (samplesIn_ == 0 || Truncated() || (errors_ > 8 && errors_ * 100 > packets))
            return Failure(ConversionStatus::Undecodable);
        if (!Encode(nullptr))
            return Failure(ConversionStatus::EncoderFailed);
        mp3_.resize(7200);
        const int bytes =
            lame_encode_flush(lame_.get(), mp3_.data(), static_cast<int>(mp3_.size()));
        if (bytes < 0)
            return Failure(ConversionStatus::EncoderFailed);
        output_->Write(mp3_.data(), static_cast<size_t>(bytes));
        if (output_->Error() != 0)
            return Failure(ConversionStatus::WriteFailed, output_->Error());
        return {};
    }

    // A file that ends well before the length its header gives lost its end.
    bool Truncated() const {
        if (format_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE || inRate_ <= 0)
            return false;
        std::int64_t declared = 0;
        if (audio_->duration != AV_NOPTS_VALUE && audio_->duration > 0)
            declared = av_rescale_q(audio_->duration, audio_->time_base, AVRational{1, inRate_});
        else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
            declared = av_rescale(format_->duration, inRate_, AV_TIME_BASE);
        const std::int64_t missing = declared - samplesIn_;
        return missing > inRate_ && missing * 100 > declared;
    }

    const ConversionSettings& settings_;
    const std::atomic<bool>& cancel_;
    std::unique_ptr<AVFormatContext, FormatFree> format_;
    std::unique_ptr<AVCodecContext, CodecContextFree> decoder_;
    std::unique_ptr<SwrContext, SwrFree> resampler_;
    std::unique_ptr<lame_global_flags, LameFree> lame_;
    AVStream* audio_ = nullptr;
    OutputFile* output_ = nullptr;
    int channels_ = 2;
    int rate_ = 44100;
    int inRate_ = 0;
    std::int64_t samplesIn_ = 0;
    std::int64_t samplesOut_ = 0;
    int errors_ = 0;
    std::vector<float> pcm_[2];
    std::vector<unsigned char> mp3_;
};

} // namespace

std::string ConversionFailureText(const ConversionResult& result, Language language) {
    switch (result.status) {
    case ConversionStatus::Done:
        return {};
    case ConversionStatus::SourceUnreadable:
    case ConversionStatus::WriteFailed:
        return FileError::TextFor(result.errnoValue);
    case ConversionStatus::Mp3Source:
        return TextUtf8(ConversionTexts, language, 0);
    case ConversionStatus::Undecodable:
        return TextUtf8(ConversionTexts, language, 1);
    case ConversionStatus::EncoderFailed:
        return TextUtf8(ConversionTexts, language, 2);
    case ConversionStatus::Cancelled:
        return TextUtf8(ConversionTexts, language, 3);
    case ConversionStatus::OverSource:
        return TextUtf8(ConversionTexts, language, 4);
    }
    return {};
}

ConversionResult ConvertToMp3(const std::string& source, const std::string& destination,
                              const ConversionSettings& settings, const std::atomic<bool>& cancel) {
    // FFmpeg's own messages would only repeat, on the terminal, what the result says.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    return Converter(settings, cancel).Run(source, destination);
}

std::string EncoderVersion() {
    return std::string("LAME ") + get_lame_version() + ", converter " +
           std::to_string(kConverterRevision);
}

} // namespace stavio
