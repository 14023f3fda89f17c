#include "audio/audio_file_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include "audio/ffmpeg_ptr.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace vx::audio {

namespace {

struct FormatFreer {
    void operator()(AVFormatContext* c) const { avformat_free_context(c); }
};
struct IoFreer {
    void operator()(AVIOContext* io) const {
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const std::uint8_t*;
#else
using WriteBuffer = std::uint8_t*;
#endif

constexpr int kIoBufferBytes = 64 * 1024;
constexpr int kPcmFrameSize = 4096;  // frames per packet for WAV (the PCM encoder takes any size)

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::optional<AudioFileFormat> audioFileFormatFor(const std::string& path) {
    const std::string name = lower(path);
    if (endsWith(name, ".flac")) return AudioFileFormat::Flac;
    if (endsWith(name, ".wav")) return AudioFileFormat::Wav;
    return std::nullopt;
}

std::int16_t sampleToInt16(float x) {
    const float scaled = std::nearbyint(x * 32768.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

struct AudioFileWriter::Impl {
    std::string path;
    int fd = -1;
    int bits = 16;
    std::string error;
    std::int64_t frames = 0;  // handed to write()
    std::int64_t pts = 0;     // frames given to the encoder
    std::unique_ptr<AVFormatContext, FormatFreer> format;
    std::unique_ptr<AVIOContext, IoFreer> io;
    CodecPtr codec;
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    AVStream* stream = nullptr;
    int frameSize = kPcmFrameSize;
    std::vector<std::int32_t> pending;  // interleaved samples not yet a full encoder frame
    bool headerWritten = false;
    bool closed = false;

    ~Impl() {
        if (fd >= 0) ::close(fd);
    }

    bool fail(const std::string& what) {
        if (error.empty()) error = what + " \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    bool failAv(const std::string& what, int code) {
        if (!error.empty()) return false;
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(code, text, sizeof text);
        error = what + " \"" + path + "\": " + text;
        return false;
    }

    // The I/O callbacks: every byte is written with write(2) and every failure is kept, so that the
    // first one is what the user reads (FFmpeg's own buffered writer would swallow it).
    static int writePacket(void* opaque, WriteBuffer data, int size) {
        auto* self = static_cast<Impl*>(opaque);
        if (!self->error.empty()) return AVERROR(EIO);
        const std::uint8_t* p = data;
        std::size_t left = static_cast<std::size_t>(size);
        while (left > 0) {
            const ssize_t n = ::write(self->fd, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) errno = ENOSPC;
                const int code = errno;
                self->fail("Could not write");
                return AVERROR(code);
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return size;
    }
    static std::int64_t seekTo(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<Impl*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat st {};
            return fstat(self->fd, &st) == 0 ? st.st_size : AVERROR(errno);
        }
        const off_t at = ::lseek(self->fd, offset, whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : at;
    }

    bool open(AudioFileFormat kind, int rate);
    bool encode(const AVFrame* f);
    bool encodePending(int frames);
};

bool AudioFileWriter::Impl::open(AudioFileFormat kind, int rate) {
    const bool flac = kind == AudioFileFormat::Flac;
    const AVOutputFormat* muxer = av_guess_format(flac ? "flac" : "wav", nullptr, nullptr);
    const AVCodecID id =
        flac ? AV_CODEC_ID_FLAC : (bits == 24 ? AV_CODEC_ID_PCM_S24LE : AV_CODEC_ID_PCM_S16LE);
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (!muxer || !encoder) {
        error = "No encoder for \"" + path + "\"";
        return false;
    }
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail("Could not create");

    AVFormatContext* raw = nullptr;
    if (const int r = avformat_alloc_output_context2(&raw, muxer, nullptr, nullptr); r < 0)
        return failAv("Could not prepare", r);
    format.reset(raw);
    format->flags |= AVFMT_FLAG_BITEXACT;  // no encoder version in the file: same samples, same bytes
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    io.reset(avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, &Impl::writePacket, &Impl::seekTo));
    if (!io) return failAv("Could not prepare", AVERROR(ENOMEM));
    format->pb = io.get();

    codec.reset(avcodec_alloc_context3(encoder));
    codec->sample_rate = rate;
    av_channel_layout_default(&codec->ch_layout, 2);
    codec->sample_fmt = bits == 24 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    codec->bits_per_raw_sample = bits;
    codec->time_base = AVRational{1, rate};
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int r = avcodec_open2(codec.get(), encoder, nullptr); r < 0)
        return failAv("Could not encode", r);
    if (codec->frame_size > 0) frameSize = codec->frame_size;

    stream = avformat_new_stream(format.get(), nullptr);
    if (!stream) return failAv("Could not prepare", AVERROR(ENOMEM));
    stream->time_base = codec->time_base;
    avcodec_parameters_from_context(stream->codecpar, codec.get());
    if (const int r = avformat_write_header(format.get(), nullptr); r < 0)
        return failAv("Could not write", r);
    headerWritten = true;
    pending.reserve(2 * static_cast<std::size_t>(frameSize));
    return error.empty();
}

bool AudioFileWriter::Impl::encode(const AVFrame* f) {
    if (const int r = avcodec_send_frame(codec.get(), f); r < 0) return failAv("Could not encode", r);
    for (;;) {
        const int r = avcodec_receive_packet(codec.get(), packet.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
        if (r < 0) return failAv("Could not encode", r);
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int w = av_write_frame(format.get(), packet.get());
        av_packet_unref(packet.get());
        if (w < 0) return failAv("Could not write", w);
    }
    return error.empty();
}

// Encodes the first `frames` frames of `pending` as one encoder frame.
bool AudioFileWriter::Impl::encodePending(int frames) {
    av_frame_unref(frame.get());
    frame->nb_samples = frames;
    frame->format = codec->sample_fmt;
    frame->sample_rate = codec->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (const int r = av_frame_get_buffer(frame.get(), 0); r < 0) return failAv("Could not encode", r);
    const std::size_t n = 2 * static_cast<std::size_t>(frames);
    if (bits == 24) {
        auto* out = reinterpret_cast<std::int32_t*>(frame->data[0]);
        for (std::size_t i = 0; i < n; ++i) out[i] = pending[i] * 256;  // 24 significant bits, MSB-aligned
    } else {
        auto* out = reinterpret_cast<std::int16_t*>(frame->data[0]);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::int16_t>(pending[i]);
    }
    frame->pts = pts;
    pts += frames;
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n));
    return encode(frame.get());
}

AudioFileWriter::AudioFileWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioFileWriter::~AudioFileWriter() {
    close();
}

std::unique_ptr<AudioFileWriter> AudioFileWriter::create(const std::string& path, int rate,
                                                         std::string* error, int bits) {
    const auto kind = audioFileFormatFor(path);
    if (!kind) {
        *error = "Not a FLAC or WAV file name: \"" + path + "\"";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->bits = bits == 24 ? 24 : 16;
    if (!impl->open(*kind, rate)) {
        *error = impl->error;
        return nullptr;
    }
    error->clear();
    return std::unique_ptr<AudioFileWriter>(new AudioFileWriter(std::move(impl)));
}

bool AudioFileWriter::write(const float* interleaved, int frames) {
    Impl& w = *impl_;
    if (w.closed || !w.error.empty()) return false;
    for (int i = 0; i < 2 * frames; ++i) {
        const float x = std::clamp(interleaved[i], -1.0f, 1.0f);
        w.pending.push_back(w.bits == 24 ? static_cast<std::int32_t>(std::clamp(
                                               std::nearbyint(x * 8388608.0f), -8388608.0f, 8388607.0f))
                                         : sampleToInt16(x));
        if (w.pending.size() == 2 * static_cast<std::size_t>(w.frameSize) && !w.encodePending(w.frameSize))
            return false;
    }
    w.frames += frames;
    return true;
}

bool AudioFileWriter::flush() {
    Impl& w = *impl_;
    if (w.closed || !w.error.empty()) return false;
    avio_flush(w.io.get());
    return w.error.empty();
}

bool AudioFileWriter::close() {
    Impl& w = *impl_;
    if (w.closed) return w.error.empty();
    w.closed = true;
    if (w.error.empty() && !w.pending.empty()) w.encodePending(static_cast<int>(w.pending.size() / 2));
    if (w.error.empty()) w.encode(nullptr);  // drains the encoder
    // The trailer completes the header (lengths, checksum). After a failure nothing more is written: the
    // header from the start tells an unknown length, and decoders read such a file to its end.
    if (w.headerWritten && w.error.empty()) {
        const int r = av_write_trailer(w.format.get());
        if (r < 0) w.failAv("Could not complete", r);
        avio_flush(w.io.get());
    }
    if (w.fd >= 0 && ::close(w.fd) != 0 && w.error.empty()) w.fail("Could not close");
    w.fd = -1;
    return w.error.empty();
}

bool AudioFileWriter::failed() const {
    return !impl_->error.empty();
}
const std::string& AudioFileWriter::error() const {
    return impl_->error;
}
std::int64_t AudioFileWriter::framesWritten() const {
    return impl_->frames;
}
const std::string& AudioFileWriter::path() const {
    return impl_->path;
}

}  // namespace vx::audio
