#include <QElapsedTimer>
#include <QFile>
#include <cmath>

#include "app/analyse_with_library.h"
#include "app/analysis_record.h"
#include "app/wiring_fixture.h"
#include "deck/deck.h"
#include "library/content_fingerprint.h"
#include "support/signal.h"

namespace vx {
namespace {

class TrackWiring : public ::testing::Test, public test::WiringFixture {
  protected:
    void SetUp() override { test::ensureCoreApp(); }

    // A tone the analysis can decode and the fake engine can open.
    QString toneSong(const QString& name, int seconds = 3) {
        QDir().mkpath(dir.filePath("music"));
        const QString path = dir.filePath("music/" + name);
        test::Stereo s;
        for (float x : test::sine(440, 44100, seconds * 44100, 0.25)) s.insert(s.end(), {x, x});
        EXPECT_TRUE(test::writeWav(path.toStdString(), s, 44100));
        library.addFile(path.toStdString());
        return path;
    }
    static bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
};

TEST_F(TrackWiring, AnAnalysisReachesDeckAndPlaylistAndARenamedSongComesFromTheDatabase) {
    const QString tone = toneSong("tone.wav");
    const QString other = song("other", "Other");  // no sound to analyse: it stays without figures
    ASSERT_TRUE(start() && fireAsync());
    playlist->addFiles({other, tone});
    Deck& left = console->deck(Side::Left);
    ASSERT_TRUE(left.loadSong(tone));
    ASSERT_TRUE(waitFor([&] { return left.analysis() != nullptr; }));
    EXPECT_NEAR(left.analysis()->lengthS, 3.0, 0.05);
    PlaylistFigures& figures = *playlist->figures();
    ASSERT_TRUE(waitFor([&] { return figures.values(tone).has_value(); }));
    EXPECT_EQ(figures.text(tone, PlaylistFigures::Column::Length), "0:03");
    // Sorting by a figure reads the database's values: the known song first, the unknown one last.
    figures.sort(PlaylistFigures::Column::Length, playlist::SortDirection::Descending);
    EXPECT_EQ(model().paths(), QStringList({tone, other}));

    left.hotCue_Click(2);  // set through the deck: stored by the song's content
    ASSERT_TRUE(left.hotCues().at(2));
    const double hot = *left.hotCues().at(2);

    // The stored tempo is marked, the file renamed and loaded into the other deck: what arrives is the
    // stored record, not a new analysis, and the LCD shows it at the deck's pitch.
    TrackDatabase& db = console->tracks().database();
    const QString fingerprint = contentFingerprint(tone);
    std::optional<StoredTrack> stored = db.find(fingerprint);
    ASSERT_TRUE(stored);
    stored->analysis.bpm = 125.0;
    ASSERT_TRUE(db.store(fingerprint, tone, stored->analysis));
    const QString renamed = dir.filePath("music/renamed.wav");
    ASSERT_TRUE(QFile::rename(tone, renamed));
    library.addFile(renamed.toStdString());
    Deck& right = console->deck(Side::Right);
    ASSERT_TRUE(right.loadSong(renamed));
    ASSERT_TRUE(waitFor([&] { return right.analysis() != nullptr; }));
    EXPECT_EQ(right.analysis()->bpm, 125.0);
    EXPECT_EQ(db.lookupPath(renamed)->bpm, 125.0);
    EXPECT_EQ(right.hotCues().at(2), hot);  // the hot cues went with the song to the other deck
    EXPECT_TRUE(dialogs.shown.empty());
    right.pitchSlider_Change(900);
    right.displayTick();
    const double playing = 125.0 * stream(Side::Right)->frequency / 44100;
    EXPECT_NE(playing, 125.0);
    EXPECT_EQ(right.lcd().bpmText, QString::number(playing, 'f', 1) + " BPM");
}

// A song loaded into a deck is analysed before the playlist's songs that wait.
TEST_F(TrackWiring, ADeckSongGoesBeforeThePlaylistsWaitingSongs) {
    QStringList songs;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) songs << toneSong(name, 20);
    ASSERT_TRUE(start() && fireAsync());
    QStringList arrived;
    console->tracks().addListener([&](const QString& path, const TrackLibrary::Found&) { arrived << path; });
    playlist->addFiles(songs);
    ASSERT_TRUE(console->deck(Side::Left).loadSong(songs[3]));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 4; }));
    EXPECT_LT(arrived.indexOf(songs[3]), arrived.indexOf(songs[2])) << arrived.join(' ').toStdString();
}

// `--analyse` fills the same database and answers a song it holds from it, whatever the file is called now.
TEST_F(TrackWiring, TheAnalyseCommandStoresAndAnswersFromTheDatabase) {
    const QString tone = toneSong("tone.wav");
    const QString file = dir.filePath("library.sqlite");
    QString text;
    QTextStream out(&text);
    ASSERT_EQ(runAnalyseWithLibrary({QFile::encodeName(tone)}, out, file, dialogs), 0);
    const QString renamed = dir.filePath("renamed.wav");
    {
        TrackDatabase db(file, dialogs);
        const QString fingerprint = contentFingerprint(tone);
        std::optional<StoredTrack> stored = db.find(fingerprint);
        ASSERT_TRUE(stored);
        stored->analysis.bpm = 99.9;
        ASSERT_TRUE(db.store(fingerprint, tone, stored->analysis));
        ASSERT_TRUE(QFile::rename(tone, renamed));
    }
    text.clear();
    ASSERT_EQ(runAnalyseWithLibrary({QFile::encodeName(renamed)}, out, file, dialogs), 0);
    EXPECT_TRUE(text.contains("\"bpm\":99.9")) << text.toStdString();
}

// The waveform blob read back is never trusted: anything but what was written is refused.
TEST(AnalysisRecord, TheWaveformBlobRoundTripsAndAnythingElseIsRefused) {
    analysis::TrackAnalysis a;
    for (int b = 0; b < analysis::WaveformSummary::kBands; ++b) {
        a.waveform.peak[b] = {1, 2, 3};
        a.waveform.rms[b] = {4, 5, 6};
    }
    a.bpm = 128;
    const StoredAnalysis good = toStored(a);
    const std::optional<analysis::TrackAnalysis> back = fromStored(good);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->waveform.rms[2], a.waveform.rms[2]);
    EXPECT_EQ(back->bpm, 128);
    const std::function<void(StoredAnalysis&)> damages[] = {
        [](StoredAnalysis& s) { s.waveform[0] = 2; },                // another version
        [](StoredAnalysis& s) { s.waveform.chop(1); },               // cut short
        [](StoredAnalysis& s) { s.waveform.append('x'); },           // too long
        [](StoredAnalysis& s) { s.waveform[4] = char(0x7f); },       // an absurd point count
        [](StoredAnalysis& s) { s.waveform.clear(); },
        [](StoredAnalysis& s) { s.lufs = std::nan(""); },
    };
    for (const auto& damage : damages) {
        StoredAnalysis s = good;
        damage(s);
        EXPECT_FALSE(fromStored(s));
    }
}

}  // namespace
}  // namespace vx
