#include "app/offline_mix.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "app/auto_dj.h"
#include "app/dj_console.h"
#include "audio/audio_file_writer.h"
#include "audio/engine.h"
#include "deck/deck_pair.h"
#include "deck/streams_transport.h"
#include "mixer/mixer_model.h"
#include "playlist/m3u.h"
#include "services/dialogs.h"
#include "services/streams.h"
#include "services/virtual_ticker.h"

namespace vx {

namespace {

constexpr int kStepFrames = OfflineMix::kRate * OfflineMix::kStepMs / 1000;

// Nobody is there to answer: every question gets its first answer and the mix goes on.
class NoDialogs : public Dialogs {
  public:
    Answer message(const QString&, const QString&, Icon, Buttons buttons) override {
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No : Answer::Ok;
    }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> openFiles(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
};

// The decks' transport for a mix rendered faster than real time: a song comes into its deck only once it
// is decoded to its end, so the render never has to wait for the decoder (that would be silence that
// depends on the machine's speed).
class DecodedTransport : public StreamsTransport {
  public:
    DecodedTransport(Streams& streams, audio::SoundLibrary& library)
        : StreamsTransport(streams), library_(library) {}
    void openStreamLater(const QString& path, std::function<bool()> stillWanted,
                         std::function<void(Streams::Opened)> done) override {
        const Streams::Opened opened = openStream(path);
        while (opened.handle != 0 && !library_.lengthIsFinal(opened.handle))
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        if (stillWanted()) done(opened);
    }

  private:
    audio::SoundLibrary& library_;
};

struct OfflineEngine {
    OfflineEngine() { engine.initOffline(OfflineMix::kRate); }
    audio::Engine engine{audio::EngineOptions{}};
};

}  // namespace

struct OfflineMix::Parts : OfflineEngine {
    explicit Parts(Options o) : options(std::move(o)) {}

    Options options;
    NoDialogs dialogs;
    VirtualTicker ticker;
    Streams streams{engine, dialogs};
    DecodedTransport transport{streams, engine};
    Console console;
    DeckSettings deckSettings;
    DeckPair decks{engine, transport, dialogs, ticker, console, deckSettings};
    MixerModel mixer{engine, ticker};
    PlaylistLink playlist;
    int position = 0;
    AutoDj autoDj{decks, mixer, streams, engine, dialogs, ticker, playlist,
                  [this] { return options.automixStart; }};

    std::int64_t frames = 0;
    std::vector<CueTrack> tracks;
    std::vector<double> checkSeconds;
    audio::Handle started[2] = {0, 0};  // the stream of each deck whose start is in `tracks`
    bool running = false;
    bool ending = false;  // the pass is over; one more step lets the limiter's delay out
    bool over = false;

    void wire();
    void start();
    void noteStarts();
    bool passIsOver();
};

void OfflineMix::Parts::wire() {
    playlist.count = [this] { return static_cast<int>(options.songs.size()); };
    playlist.position = [this] { return position; };
    playlist.select = [this](int i) { position = i; };
    playlist.currentEntryPath = [this] {
        return position >= 0 && position < options.songs.size() ? options.songs[position] : QString();
    };
    mixer.setStreamSource([this](int deck) {
        return decks.deck(deck == MixerModel::kRightDeck ? Side::Right : Side::Left).state().streamHandle;
    });
    for (Side side : {Side::Left, Side::Right}) {
        DeckHooks hooks;
        hooks.runVolumeTimer = [this] { mixer.runVolumeTimer(); };
        hooks.resetVolume = [this, side] { mixer.setDeckLevelToHalf(static_cast<int>(side)); };
        hooks.autoDjOn = [this] { return autoDj.on(); };
        hooks.autoDjLoadFailed = [this, side](bool) { autoDj.loadFailed(side); };
        hooks.brakeEnded = [this, side] { autoDj.brakeEnded(side); };
        hooks.loadEnded = [this, side] {
            autoDj.loadEnded(side, decks.deck(side).state().streamHandle != 0);
        };
        decks.deck(side).setHooks(std::move(hooks));
    }
    decks.setAfterTick([this](int, int) {
        const auto t0 = std::chrono::steady_clock::now();
        autoDj.checkMixPoints();
        checkSeconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    });
}

void OfflineMix::Parts::start() {
    wire();
    mixer.startUp();
    decks.applySettings();
    decks.startDisplay();
    position = static_cast<int>(options.songs.size()) - 1;  // so that the first step takes the first entry
    autoDj.setOnePass(true);
    autoDj.autoDJCB_Click();
    running = true;
}

// A deck that has just begun to play starts a track of the cue sheet, where its sound begins: past any
// silence at the head of the song, and the limiter's look-ahead later.
void OfflineMix::Parts::noteStarts() {
    for (Side side : {Side::Left, Side::Right}) {
        const Deck& deck = decks.deck(side);
        const audio::Handle h = deck.state().streamHandle;
        auto& seen = started[static_cast<int>(side)];
        if (h == 0 || h == seen || engine.activity(h) != audio::kPlaying) continue;
        seen = h;
        CueTrack track = cueTrackForFile(deck.state().fileName);
        std::int64_t audibleStart = 0, audibleEnd = 0;
        std::int64_t lead = 0;  // frames of the song's own rate
        if (engine.audibleRange(h, &audibleStart, &audibleEnd))
            lead = std::max<std::int64_t>(0, (audibleStart - engine.position(h)) / 4);
        const int rate = std::max(1, deck.state().baseFrequency);
        track.startFrame = frames + engine.outputLatency() + lead * kRate / rate;
        tracks.push_back(track);
    }
}

bool OfflineMix::Parts::passIsOver() {
    if (options.maxSeconds > 0 && frames >= static_cast<std::int64_t>(options.maxSeconds * kRate)) return true;
    if (autoDj.on() && !autoDj.passEnded()) return false;
    for (Side side : {Side::Left, Side::Right}) {
        const Deck& deck = decks.deck(side);
        const int activity = engine.activity(deck.state().streamHandle);
        if (deck.loading() || activity == audio::kPlaying || activity == audio::kStalled) return false;
    }
    return true;
}

OfflineMix::OfflineMix(Options options) : p_(std::make_unique<Parts>(std::move(options))) {}

OfflineMix::~OfflineMix() = default;

void OfflineMix::setSkippedHandler(std::function<void(const QString&)> skipped) {
    p_->autoDj.setSkippedHandler(std::move(skipped));
}

int OfflineMix::renderStep(std::vector<float>& out) {
    Parts& p = *p_;
    if (p.over || p.options.songs.isEmpty()) return 0;
    if (!p.running) p.start();
    if (p.ending) {
        p.over = true;
    } else {
        p.ticker.advance(kStepMs);
        p.noteStarts();
        p.ending = p.passIsOver();
    }
    out.resize(2 * kStepFrames);
    p.engine.render(out.data(), kStepFrames);
    p.frames += kStepFrames;
    return kStepFrames;
}

double OfflineMix::secondsRendered() const {
    return static_cast<double>(p_->frames) / kRate;
}

const std::vector<CueTrack>& OfflineMix::tracks() const {
    return p_->tracks;
}

const std::vector<double>& OfflineMix::autoDjCheckSeconds() const {
    return p_->checkSeconds;
}

int OfflineMix::entriesDone() const {
    return p_->running ? p_->position + 1 : 0;
}

namespace {

void showProgress(std::FILE* err, const OfflineMix& mix, int entries, bool last) {
    constexpr int kWidth = 30;
    const int done = entries > 0 ? mix.entriesDone() * kWidth / entries : kWidth;
    const int seconds = static_cast<int>(mix.secondsRendered());
    std::fprintf(err, "\r[%s%s] %d/%d songs, %d:%02d of mix%s", std::string(done, '#').c_str(),
                 std::string(kWidth - done, '.').c_str(), mix.entriesDone(), entries, seconds / 60, seconds % 60,
                 last ? "\n" : "");
    std::fflush(err);
}

}  // namespace

int runRenderMix(const QString& playlistPath, const QString& outPath, double maxSeconds, int automixStart,
                 std::FILE* err) {
    const auto fail = [err](const QString& text) {
        std::fprintf(err, "velumix: %s\n", qPrintable(text));
        return 1;
    };
    QString error;
    const std::optional<QStringList> songs = playlist::readM3u(playlistPath, &error);
    if (!songs) return fail(QStringLiteral("cannot read the playlist \"%1\": %2").arg(playlistPath, error));
    if (songs->isEmpty()) return fail(QStringLiteral("the playlist \"%1\" names no songs").arg(playlistPath));
    if (!audio::audioFileFormatFor(outPath.toStdString()))
        return fail(QStringLiteral("the mix is written as .wav or .flac, not as \"%1\"").arg(outPath));

    std::string writeError;
    auto writer = audio::AudioFileWriter::create(outPath.toStdString(), OfflineMix::kRate, &writeError);
    if (!writer) return fail(QString::fromStdString(writeError));

    OfflineMix mix({*songs, automixStart, maxSeconds});
    mix.setSkippedHandler([err](const QString& path) {
        std::fprintf(err, "\rvelumix: skipped \"%s\": it could not be loaded\n", qPrintable(path));
    });
    std::vector<float> block;
    auto shown = std::chrono::steady_clock::now();
    while (const int frames = mix.renderStep(block)) {
        if (!writer->write(block.data(), frames)) break;
        if (std::chrono::steady_clock::now() - shown > std::chrono::milliseconds(250)) {
            showProgress(err, mix, static_cast<int>(songs->size()), false);
            shown = std::chrono::steady_clock::now();
        }
    }
    showProgress(err, mix, static_cast<int>(songs->size()), true);
    const bool written = writer->close();
    if (!written) return fail(QString::fromStdString(writer->error()));
    if (mix.tracks().empty()) {
        QFile::remove(outPath);
        return fail(QStringLiteral("none of the songs could be loaded: nothing was rendered"));
    }
    if (const auto cueError = writeCueSheet(outPath, mix.tracks(), OfflineMix::kRate))
        return fail(QStringLiteral("the cue sheet could not be written: %1").arg(cueError->text));
    return 0;
}

}  // namespace vx
