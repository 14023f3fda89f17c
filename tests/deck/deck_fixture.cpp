#include "deck_fixture.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <type_traits>

#include "deck/streams_transport.h"

namespace vx::test {

// The program's adapter must stay a drop-in for this fake.
static_assert(std::is_base_of_v<DeckTransport, StreamsTransport>);

Streams::Opened FakeTransport::openStream(const QString& path) {
    Streams::Opened opened;
    opened.handle = lib_.createStream(audio::Family::WindowsMedia, path.toStdString(), 0);
    if (opened.handle != 0) {
        opened.kind = StreamKind::WindowsMedia;
        return opened;
    }
    opened.kind = StreamKind::Plain;
    opened.handle = lib_.createStream(audio::Family::Plain, path.toStdString(), 0);
    if (opened.handle != 0)
        lib_.preBuffer(opened.handle);
    else
        ++failedOpens;
    return opened;
}

bool FakeTransport::isStreamPlaying(audio::Handle h) {
    const int a = lib_.activity(h);
    return a != audio::kStopped && a != audio::kPaused;
}

bool FakeTransport::playStream(audio::Handle h, StreamKind) {
    return lib_.play(h);
}

bool FakeTransport::resumeStream(audio::Handle h, StreamKind kind) {
    return kind == StreamKind::WindowsMedia ? lib_.play(h) : lib_.resume(h);
}

std::int64_t FakeTransport::getStreamPosition(audio::Handle h, StreamKind) {
    return lib_.position(h);
}

bool FakeTransport::setStreamPosition(audio::Handle h, StreamKind kind, std::int64_t bytes) {
    lib_.eqReset(h);
    const bool ok = lib_.setPosition(h, bytes);
    if (kind == StreamKind::Plain) lib_.preBuffer(h);
    return ok;
}

std::int64_t FakeTransport::songLengthBytes(audio::Handle h) {
    return lib_.length(h);
}

QString FakeTransport::songLengthText(audio::Handle h, std::int64_t lengthBytes) {
    const auto seconds = std::llround(lib_.bytesToSeconds(h, lengthBytes));
    return clock(seconds < 0 ? 0 : seconds);
}

QString FakeTransport::getTimeRemain(audio::Handle h, std::int64_t lengthBytes, std::int64_t positionBytes) {
    return clock(std::llround(lib_.bytesToSeconds(h, lengthBytes - positionBytes)));
}

QString clock(std::int64_t s) {
    std::int64_t m = 0, h = 0;
    if (s >= 60) m = s / 60, s %= 60;
    if (m >= 60) h = m / 60, m %= 60;
    auto two = [](std::int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(h) + ':' + two(m) + ':' + (s < 0 ? QLatin1Char('-') + two(-s) : two(s));
}

DeckTest::DeckTest() {
    settings.loopFolder = QDir(dir.path()).filePath(QStringLiteral("Velumix Loops"));
    pair = std::make_unique<DeckPair>(lib, transport, dialogs, ticker, console, settings);
    left = &pair->left();
    right = &pair->right();
    for (Deck* d : {left, right}) d->hooks().runVolumeTimer = [this] { ++volumeRuns; };
}

QString DeckTest::song(const QString& name, FakeFile file) {
    const QString path = writeBytes(dir.filePath(name), {});
    lib.addFile(path.toStdString(), file);
    return path;
}

FakeSoundLibrary::Stream& DeckTest::load(Deck& deck, const QString& name, FakeFile file) {
    deck.loadSong(song(name, file));
    EXPECT_NE(deck.state().streamHandle, 0u) << name.toStdString();
    return stream(deck);
}

int DeckTest::countCalls(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : lib.calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

}  // namespace vx::test
