#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "deck/deck_pair.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"
#include "support/tag_fixtures.h"

namespace vx::test {

// The decks' transport over the fake sound library, following the program's stream rules: the
// Windows Media family first, seeks reset the equaliser, plain streams pre-buffer after a seek.
class FakeTransport : public DeckTransport {
  public:
    explicit FakeTransport(FakeSoundLibrary& lib) : lib_(lib) {}

    Streams::Opened openStream(const QString& path) override;
    bool isStreamPlaying(audio::Handle h) override;
    bool playStream(audio::Handle h, StreamKind kind) override;
    bool resumeStream(audio::Handle h, StreamKind kind) override;
    std::int64_t getStreamPosition(audio::Handle h, StreamKind kind) override;
    bool setStreamPosition(audio::Handle h, StreamKind kind, std::int64_t bytes) override;
    std::int64_t songLengthBytes(audio::Handle h) override;
    QString songLengthText(audio::Handle h, std::int64_t lengthBytes) override;
    QString getTimeRemain(audio::Handle h, std::int64_t lengthBytes, std::int64_t positionBytes) override;

    int failedOpens = 0;

  private:
    FakeSoundLibrary& lib_;
};

// "hh:mm:ss" of whole seconds, as the program's clock texts read.
QString clock(std::int64_t seconds);

// Two decks over fakes, with song files that exist on disk (the loader checks the disk) and a loops
// folder of their own.
class DeckTest : public ::testing::Test {
  protected:
    static constexpr std::int64_t kTenSeconds = 44100 * 4 * 10;

    DeckTest();

    // Creates an (empty) file in the temporary folder and announces it to the fake engine.
    QString song(const QString& name, FakeFile file = {});
    // Loads a new song into a deck and returns its fake stream.
    FakeSoundLibrary::Stream& load(Deck& deck, const QString& name, FakeFile file = {});
    FakeSoundLibrary::Stream& stream(Deck& deck) { return *lib.stream(deck.state().streamHandle); }
    int countCalls(const std::string& prefix) const;
    void clearCalls() { lib.calls.clear(); }

    QTemporaryDir dir;
    FakeSoundLibrary lib;
    FakeTransport transport{lib};
    FakeDialogs dialogs;
    FakeTicker ticker;
    Console console;
    DeckSettings settings;
    std::unique_ptr<DeckPair> pair;
    Deck* left = nullptr;
    Deck* right = nullptr;
    int volumeRuns = 0;
};

}  // namespace vx::test
