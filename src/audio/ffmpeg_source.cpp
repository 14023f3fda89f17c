#include "audio/ffmpeg_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "audio/ffmpeg_ptr.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vx::audio {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

constexpr const char* kAudioDemuxers =
    "mp3,wav,w64,asf,asf_o,flac,ogg,aiff,aac,mov,matroska,caf,au,ape,wv,mpc,mpc8,tta,dsf,mp2,ac3,eac3,dts,"
    "truehd,amr,voc,rm,xwma";

bool isAsf(const AVInputFormat* format) {
    const std::string name = format && format->name ? format->name : "";
    return name.rfind("asf", 0) == 0;
}

// Bytes taken by ID3v2 tags at the start of an open file (each with its header and footer), 0 when none.
// We read tags ourselves; skipping them keeps the demuxer from parsing them, which costs time that grows
// with the square of the number of frames.
std::int64_t leadingTagBytes(std::FILE* f, std::int64_t fileSize) {
    std::int64_t offset = 0;
    for (int tags = 0; tags < 4; ++tags) {  // a few tags may be stacked by careless taggers
        unsigned char h[10];
        if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0 || std::fread(h, 1, 10, f) != 10) break;
        if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF) break;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80) break;  // not a sync-safe size: not a tag
        const std::int64_t body = (std::int64_t{h[6]} << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
        offset += 10 + body + ((h[5] & 0x10) ? 10 : 0);
    }
    return offset < fileSize ? offset : 0;
}

// Only a regular file is music: a folder, a device or a FIFO (which would block the open for ever) is not,
// and a link loop fails the stat. Answers whether `path` can be read, and the tag bytes in front of it.
bool readable(const std::string& path, std::int64_t* tagBytes) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    *tagBytes = leadingTagBytes(f, st.st_size);
    std::fclose(f);
    return true;
}

}  // namespace

struct FfmpegSource::Impl {
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    CodecPtr codec;
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    std::unique_ptr<SwrContext, SwrFreer> swr;
    int stream = -1;
    int swrOutChannels = 2;
    AVSampleFormat swrInFormat = AV_SAMPLE_FMT_NONE;
    int swrInChannels = 0;
    int swrInRate = 0;
    int outputRate = 0;  // 0: the file's own
    bool flushed = false;
    AVSampleFormat swrOutFormat = AV_SAMPLE_FMT_S16;
    float quantScale = 32768.0f;  // float sample to 16-bit steps (halved for floating-point sources)
    std::uint32_t ditherState = 0x9e3779b9u;
    std::vector<float> wide;  // converter output of sources finer than 16 bits
    int badPackets = 0;
    SourceInfo info;
    std::vector<std::int16_t> mono;

    bool prepareConverter(const AVFrame* f);
    void convert(const AVFrame* f, std::vector<std::int16_t>& out);
    void quantise(const float* in, int frames, std::int16_t* out);
    void receiveAll(std::vector<std::int16_t>& out);
};

FfmpegSource::FfmpegSource(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FfmpegSource::~FfmpegSource() = default;
const SourceInfo& FfmpegSource::info() const {
    return impl_->info;
}

std::unique_ptr<FfmpegSource> FfmpegSource::open(const std::string& path, Family family, int* error,
                                                 int outputRate) {
    *error = kErrFileOpen;
    std::int64_t skip = 0;
    if (!readable(path, &skip)) return nullptr;
    *error = kErrFormat;
    auto impl = std::make_unique<Impl>();
    impl->outputRate = std::max(outputRate, 0);
    AVFormatContext* raw = nullptr;
    av_log_set_level(AV_LOG_QUIET);
    // Audio containers only, read from the file alone: a playlist-like demuxer (HLS, concat, ...) in a
    // file dropped on a deck must not reach other files or the network.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kAudioDemuxers, 0);
    // Tags in front of the sound are not even looked at: the demuxer sees the file from the sound on.
    std::string url = "file:" + path;
    if (skip > 0) {
        url = "subfile,,start," + std::to_string(skip) + ",end,0,,:" + url;
    }
    av_dict_set(&options, "protocol_whitelist", "file,subfile", 0);
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return nullptr;
    impl->format.reset(raw);
    if (isAsf(raw->iformat) != (family == Family::WindowsMedia)) return nullptr;
    if (avformat_find_stream_info(raw, nullptr) < 0) return nullptr;
    const AVCodec* decoder = nullptr;
    impl->stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (impl->stream < 0 || !decoder) return nullptr;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (static_cast<int>(i) != impl->stream) raw->streams[i]->discard = AVDISCARD_ALL;
    }
    AVStream* st = raw->streams[impl->stream];
    impl->codec.reset(avcodec_alloc_context3(decoder));
    if (!impl->codec || avcodec_parameters_to_context(impl->codec.get(), st->codecpar) < 0) return nullptr;
    impl->codec->thread_count = 1;
    impl->codec->pkt_timebase = st->time_base;
    if (avcodec_open2(impl->codec.get(), decoder, nullptr) < 0) return nullptr;
    if (impl->codec->sample_rate <= 0 || impl->codec->ch_layout.nb_channels <= 0) return nullptr;

    SourceInfo& info = impl->info;
    info.rate = impl->codec->sample_rate;
    info.channels = impl->codec->ch_layout.nb_channels;
    info.container = raw->iformat->name;
    const AVSampleFormat packed = av_get_packed_sample_fmt(impl->codec->sample_fmt);
    if (packed == AV_SAMPLE_FMT_FLT || packed == AV_SAMPLE_FMT_DBL) {
        info.sampleGain = 2.0f;
        impl->quantScale = 16384.0f;
    }
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
        info.estimatedFrames = av_rescale_q(st->duration, st->time_base, AVRational{1, info.rate});
    } else if (raw->duration != AV_NOPTS_VALUE && raw->duration > 0) {
        info.estimatedFrames = av_rescale(raw->duration, info.rate, AV_TIME_BASE);
    }
    *error = kOk;
    return std::unique_ptr<FfmpegSource>(new FfmpegSource(std::move(impl)));
}

bool FfmpegSource::Impl::prepareConverter(const AVFrame* f) {
    const auto fmt = static_cast<AVSampleFormat>(f->format);
    const int channels = f->ch_layout.nb_channels;
    if (swr && fmt == swrInFormat && channels == swrInChannels && f->sample_rate == swrInRate) return true;
    AVChannelLayout in{};
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&in, channels);
    } else if (av_channel_layout_copy(&in, &f->ch_layout) < 0) {
        return false;
    }
    swrOutChannels = channels == 1 ? 1 : 2;  // mono is converted alone and duplicated, at full level
    AVChannelLayout out{};
    av_channel_layout_default(&out, swrOutChannels);
    SwrContext* s = nullptr;
    const int rate = f->sample_rate > 0 ? f->sample_rate : info.rate;
    // At most 16 bits go straight to 16 bits; anything finer comes out as float for our own rounding.
    const AVSampleFormat packed = av_get_packed_sample_fmt(fmt);
    swrOutFormat =
        packed == AV_SAMPLE_FMT_U8 || packed == AV_SAMPLE_FMT_S16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLT;
    const int outRate = outputRate > 0 ? outputRate : rate;
    const int rc = swr_alloc_set_opts2(&s, &out, swrOutFormat, outRate, &in, fmt, rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    swr.reset(s);
    if (rc < 0 || swr_init(s) < 0) {
        swr.reset();
        return false;
    }
    swrInFormat = fmt;
    swrInChannels = channels;
    swrInRate = f->sample_rate;
    return true;
}

// Rounds to 16 bits with triangular (TPDF) dither of one step peak to peak each side, so that what is
// finer than a step becomes a little steady noise instead of distortion. Beyond the 16-bit range (a
// floating-point source more than 6 dB over) the sample is held at the limit.
void FfmpegSource::Impl::quantise(const float* in, int samples, std::int16_t* out) {
    const auto uniform = [this] {
        ditherState ^= ditherState << 13;
        ditherState ^= ditherState >> 17;
        ditherState ^= ditherState << 5;
        return static_cast<float>(ditherState) * (1.0f / 4294967296.0f);
    };
    for (int i = 0; i < samples; ++i) {
        const float v = in[i] * quantScale + uniform() - uniform();
        out[i] = static_cast<std::int16_t>(std::clamp(std::lrint(v), -32768L, 32767L));
    }
}

// `f` null drains what a resampling converter still holds.
void FfmpegSource::Impl::convert(const AVFrame* f, std::vector<std::int16_t>& out) {
    if (f ? f->nb_samples <= 0 || !prepareConverter(f) : !swr) return;
    const int inFrames = f ? f->nb_samples : 0;
    const std::uint8_t** inData = f ? const_cast<const std::uint8_t**>(f->extended_data) : nullptr;
    const int room = swr_get_out_samples(swr.get(), inFrames);
    if (room <= 0) return;
    if (swrOutFormat == AV_SAMPLE_FMT_FLT) {
        wide.resize(static_cast<std::size_t>(room) * swrOutChannels);
        std::uint8_t* dst = reinterpret_cast<std::uint8_t*>(wide.data());
        const int got = swr_convert(swr.get(), &dst, room, inData, inFrames);
        const int frames = got > 0 ? got : 0;
        const std::size_t start = out.size();
        out.resize(start + 2 * static_cast<std::size_t>(frames));
        std::int16_t* o = out.data() + start;
        if (swrOutChannels == 2) {
            quantise(wide.data(), 2 * frames, o);
        } else {
            mono.resize(static_cast<std::size_t>(frames));
            quantise(wide.data(), frames, mono.data());
            for (int i = 0; i < frames; ++i) o[2 * i] = o[2 * i + 1] = mono[static_cast<std::size_t>(i)];
        }
        return;
    }
    const std::size_t start = out.size();
    std::int16_t* dst = nullptr;
    if (swrOutChannels == 2) {
        out.resize(start + 2 * static_cast<std::size_t>(room));
        dst = out.data() + start;
    } else {
        mono.resize(static_cast<std::size_t>(room));
        dst = mono.data();
    }
    auto* planes = reinterpret_cast<std::uint8_t**>(&dst);
    const int got = swr_convert(swr.get(), planes, room, inData, inFrames);
    const int frames = got > 0 ? got : 0;
    if (swrOutChannels == 2) {
        out.resize(start + 2 * static_cast<std::size_t>(frames));
        return;
    }
    out.resize(start + 2 * static_cast<std::size_t>(frames));
    std::int16_t* o = out.data() + start;
    for (int i = 0; i < frames; ++i) o[2 * i] = o[2 * i + 1] = mono[static_cast<std::size_t>(i)];
}

void FfmpegSource::Impl::receiveAll(std::vector<std::int16_t>& out) {
    while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
        convert(frame.get(), out);
        av_frame_unref(frame.get());
    }
}

bool FfmpegSource::decodeMore(std::vector<std::int16_t>& out) {
    Impl& d = *impl_;
    out.clear();
    if (d.flushed) return false;
    for (;;) {
        const int rc = av_read_frame(d.format.get(), d.packet.get());
        if (rc < 0) {
            // End of file or an unreadable rest: drain what the decoder still holds.
            avcodec_send_packet(d.codec.get(), nullptr);
            d.receiveAll(out);
            if (d.outputRate > 0) d.convert(nullptr, out);
            d.flushed = true;
            return false;
        }
        if (d.packet->stream_index != d.stream) {
            av_packet_unref(d.packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(d.codec.get(), d.packet.get());
        av_packet_unref(d.packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) {
            // A damaged packet: skip it, but give up on a file that is damage throughout.
            if (++d.badPackets > 500) {
                d.flushed = true;
                return false;
            }
            continue;
        }
        d.receiveAll(out);
        if (!out.empty()) return true;
    }
}

}  // namespace vx::audio
