#include "bench_waveform.h"

#include <time.h>

#include <QApplication>
#include <QScreen>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analyser.h"
#include "bench_session.h"
#include "ffmpeg_cli.h"
#include "ui/console_geometry.h"
#include "ui/main_window.h"
#include "ui/widgets/lcd_display.h"
#include "ui/widgets/waveform_overview.h"
#include "ui/widgets/waveform_zoom.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A kick on every beat with a breakdown from 2:00 to 2:30, an off-beat hi-hat after the intro and a
// slowly swelling chord: the shape of a dance track, for the waveform and the beat grid.
bool makeBeatTrack(const fs::path& path, double bpm) {
    const std::string p = std::to_string(60.0 / bpm);
    const std::string kick = "if(between(t,120,150),0,1)*sin(2*PI*(45+110*exp(-mod(t," + p + ")*25))*mod(t," +
                             p + "))*exp(-mod(t," + p + ")*7)";
    const std::string hat = "(random(0)*2-1)*exp(-mod(t+" + p + "/2," + p + ")*35)*if(lt(t,16),0,0.25)";
    const std::string pad =
        "0.2*(sin(2*PI*220*t)+sin(2*PI*277.2*t)+sin(2*PI*329.6*t))*(0.5+0.5*sin(2*PI*t/16))";
    const std::string graph =
        "aevalsrc='" + kick + "':s=44100:d=300[k];aevalsrc='" + hat +
        "':s=44100:d=300,highpass=f=6000[h];aevalsrc='" + pad +
        "':s=44100:d=300[p];[k][h][p]amix=inputs=3:normalize=0,aformat=channel_layouts=stereo";
    return vx::bench::ffmpegMake("-filter_complex \"" + graph + "\" -c:a libmp3lame -b:a 192k \"" +
                                 path.string() + "\"");
}

void analyse(vx::Deck& deck) {
    const std::string path = deck.state().fileName.toStdString();
    std::string error;
    if (auto found = vx::analysis::analyseFile(path, &error))
        deck.setAnalysis(deck.state().fileName, std::make_shared<const vx::analysis::TrackAnalysis>(*found));
}

// Hot cues, a mix point and the play position spread over each song, as in the middle of a set.
void markUp(vx::DjConsole& console, vx::bench::Session& s, std::vector<float>& block) {
    const double places[2][4] = {{0.08, 0.27, 0.52, 0.46}, {0.04, 0.33, 0.61, 0.22}};
    for (int d = 0; d < 2; ++d) {
        vx::Deck& deck = console.deck(d ? vx::Side::Right : vx::Side::Left);
        for (int slot = 1; slot <= 4; ++slot) {
            deck.seekByUser(places[d][slot - 1]);
            console.decks().tmrTrackLength_Timer();
            for (int i = 0; i < 8; ++i) s.render(block);
            if (slot < 4 || d == 0) deck.hotCue_Click(slot);
        }
        deck.setMixMark(d ? 880 : 850);
    }
    console.notifyChanged();
}

}  // namespace

void runWaveformBenchmarks(std::ostream& out, const fs::path& tracks) {
    const fs::path songs[2] = {tracks / "beat_0.mp3", tracks / "beat_1.mp3"};
    for (int i = 0; i < 2; ++i) {
        if (!fs::exists(songs[i]) && !makeBeatTrack(songs[i], i ? 128 : 124)) {
            out << "waveform_frame_ms -1 ms\n";
            return;
        }
    }
    static int argc = 1;
    static char name[] = "velumix_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication* core = QCoreApplication::instance(); core && !qobject_cast<QApplication*>(core))
        delete core;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vx::bench::Session s;
    vx::MainWindow window(*s.app);
    window.startConsole();
    window.resize(vx::ui::kConsoleDesignSize);
    window.show();
    QApplication::processEvents();
    vx::DjConsole& console = window.console();
    vx::bench::loadAndPlay(console, s, songs[0], songs[1]);
    for (vx::Side side : {vx::Side::Left, vx::Side::Right}) analyse(console.deck(side));
    std::vector<float> block(2 * vx::audio::kDeviceBlockFrames);
    markUp(console, s, block);
    vx::ui::WaveformZoom* zooms[2] = {window.findChild<vx::ui::WaveformZoom*>("waveformL"),
                                      window.findChild<vx::ui::WaveformZoom*>("waveformR")};
    vx::ui::WaveformOverview* overviews[2] = {window.findChild<vx::ui::LcdDisplay*>("LCD_L")->overview(),
                                              window.findChild<vx::ui::LcdDisplay*>("LCD_R")->overview()};

    // The picture first, while the hot cues set last are still in the zoomed view.
    const QByteArray shot = qgetenv("VX_WAVEFORM_SHOT");
    if (!shot.isEmpty()) {
        if (const QScreen* screen = window.screen()) window.setGeometry(screen->geometry());
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        for (int i = 0; i < kRate / vx::audio::kDeviceBlockFrames; ++i) s.render(block);  // a second on
        console.decks().tmrTrackLength_Timer();
        for (vx::ui::WaveformZoom* z : zooms) z->frame();
        QApplication::processEvents();
        window.grab().save(QString::fromLocal8Bit(shot));
        window.resize(vx::ui::kConsoleDesignSize);
        QApplication::processEvents();
    }
    for (vx::ui::WaveformZoom* z : zooms) z->setRunning(false);  // the frames are driven by hand
    std::vector<double> frames;
    const int blocksPerFrame = kRate / 60 / vx::audio::kDeviceBlockFrames + 1;
    for (int f = 0; f < 600; ++f) {
        for (int i = 0; i < blocksPerFrame; ++i) s.render(block);
        if (f % 5 == 0) console.decks().tmrTrackLength_Timer();  // the 80 ms display tick, not timed
        QApplication::processEvents();
        const double c0 = threadCpuMs();
        // Every frame paints, as if the head moved a pixel each time (at 8 s across it moves by less).
        for (int d = 0; d < 2; ++d) {
            zooms[d]->frame();
            zooms[d]->repaint();
            overviews[d]->repaint();
        }
        if (f >= 30) frames.push_back(threadCpuMs() - c0);  // the first frames build the tiles in view
    }
    std::sort(frames.begin(), frames.end());
    out << "waveform_frame_ms " << frames[frames.size() / 2] << " ms\n";
    out << "waveform_frame_p99_ms " << frames[frames.size() * 99 / 100] << " ms\n";

    console.shutDown();
}
