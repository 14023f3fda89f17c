#include "mixer/recording.h"

#include <QDir>
#include <QFileInfo>

#include "services/dialogs.h"

namespace vx {

namespace {

const QString kTitle = QStringLiteral("Record");

QString extensionOf(audio::AudioFileFormat format) {
    return format == audio::AudioFileFormat::Wav ? QStringLiteral(".wav") : QStringLiteral(".flac");
}

}  // namespace

Recording::Recording(audio::SoundLibrary& library, Dialogs& dialogs, Options options)
    : dialogs_(dialogs), options_(std::move(options)), recorder_(library) {}

Recording::~Recording() {
    // The program is going: the file is completed, but no box is shown any more.
    if (recorder_.state() == audio::Recorder::State::Idle) return;
    recorder_.finish();
    writeCue();
}

QString Recording::fileNameFor(const QDateTime& time, audio::AudioFileFormat format) {
    return QStringLiteral("Velumix ") + time.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
           extensionOf(format);
}

void Recording::toggle() {
    if (active())
        stop();
    else
        start();
}

bool Recording::start() {
    if (recorder_.state() != audio::Recorder::State::Idle) {
        recorder_.finish();  // the one before is still being completed: finish it first
        completed();
    }
    const QDir folder(options_.folder);
    if (!folder.mkpath(QStringLiteral("."))) {
        dialogs_.message(QStringLiteral("The recording could not start: the folder \"%1\" cannot be made.")
                             .arg(QDir::toNativeSeparators(options_.folder)),
                         kTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return false;
    }
    const QString name = fileNameFor(options_.now(), options_.format);
    QString path = folder.filePath(name);
    // Two recordings within one second get distinct names.
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = folder.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(" (%1)").arg(n) +
                               extensionOf(options_.format));
    }
    if (!recorder_.start(path.toStdString(), options_.rate)) {
        dialogs_.message(QStringLiteral("The recording could not start:\n%1")
                             .arg(QString::fromStdString(recorder_.error())),
                         kTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return false;
    }
    path_ = path;
    tracks_.clear();
    counted_ = {};
    countHeardSongs();
    changed();
    return true;
}

void Recording::stop() {
    if (!active()) return;
    recorder_.stop();
    if (recorder_.poll()) completed();
    changed();
}

void Recording::finish() {
    if (recorder_.state() == audio::Recorder::State::Idle) return;
    recorder_.finish();
    completed();
}

QString Recording::elapsedText() const {
    if (!active()) return {};
    const std::uint64_t seconds = recorder_.framesCaptured() / static_cast<std::uint64_t>(options_.rate);
    const auto two = [](std::uint64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const QString minutesSeconds = two(seconds / 60 % 60) + QLatin1Char(':') + two(seconds % 60);
    return seconds < 3600 ? minutesSeconds
                          : QString::number(seconds / 3600) + QLatin1Char(':') + minutesSeconds;
}

void Recording::tick() {
    if (reporting_) return;
    const bool wasActive = active();
    if (recorder_.poll()) completed();
    if (active()) countHeardSongs();
    const QString elapsed = elapsedText();
    if (elapsed != lastElapsed_ || wasActive != active()) {
        lastElapsed_ = elapsed;
        changed();
    }
}

void Recording::songStarted(int deck) {
    if (active() && deck >= 0 && deck < 2) countHeardSongs();
}

void Recording::countHeardSongs() {
    if (!decks_) return;
    bool added = false;
    for (int deck = 0; deck < 2; ++deck) {
        const DeckHeard d = decks_(deck);
        if (d.song == 0 || d.song == counted_[deck] || !d.playing || !d.audible) continue;
        counted_[deck] = d.song;
        CueTrack t = options_.describe ? options_.describe(d.path) : CueTrack{};
        if (t.title.trimmed().isEmpty()) t.title = QFileInfo(d.path).completeBaseName();
        t.startFrame = static_cast<std::int64_t>(recorder_.framesCaptured());
        tracks_.push_back(t);
        added = true;
    }
    if (added) writeCue();  // kept up to date, so that a program that dies leaves it too
}

void Recording::writeCue() {
    if (path_.isEmpty()) return;
    // A cue sheet that cannot be written is not worth stopping the recording for; the sound comes first.
    writeCueSheet(path_, tracks_, options_.rate);
}

// The recorder has completed the file: the cue sheet is written, and a failure or a gap told.
void Recording::completed() {
    writeCue();
    const QString file = QDir::toNativeSeparators(path_);
    QString text;
    if (!recorder_.error().empty()) {
        text = QStringLiteral("The recording stopped:\n%1\n\nWhat was recorded until then is kept in \"%2\".")
                   .arg(QString::fromStdString(recorder_.error()), file);
    } else if (const std::uint64_t dropped = recorder_.framesDropped(); dropped > 0) {
        text = QStringLiteral("The disk could not keep up: %1 ms of sound are missing from \"%2\".")
                   .arg(dropped * 1000 / static_cast<std::uint64_t>(options_.rate))
                   .arg(file);
    }
    changed();
    if (text.isEmpty()) return;
    reporting_ = true;
    dialogs_.message(text, kTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    reporting_ = false;
}

}  // namespace vx
