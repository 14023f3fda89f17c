// Console figures: the real program started in a child process, and the console on the engine rendered
// offline in this process.
#include "bench_console.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QMap>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "audio/engine.h"
#include "audio/output.h"
#include "bench_session.h"
#include "ffmpeg_cli.h"
#include "options/settings.h"
#include "services/dialogs.h"
#include "services/settings_store.h"
#include "services/ticker.h"
#include "ui/console_geometry.h"
#include "ui/main_window.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;
constexpr int kPeriod = vx::audio::kDeviceBlockFrames;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// ---------------------------------------------------------------- the real program in a child process

fs::path programPath() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" / "velumix";
}

// The running program, started headless with the benchmark switch; its stdout is read for "shown".
class Child {
  public:
    Child(const fs::path& home, int exitAfterMs, const std::string& songs) {
        int out[2];
        if (pipe(out) != 0) return;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("XDG_CONFIG_HOME=", 0) &&
                v.rfind("XDG_DATA_HOME=", 0) && v.rfind("XDG_RUNTIME_DIR=", 0))
                env.push_back(v);
        }
        // A runtime folder of its own, so that a Velumix the user runs does not take the child's start.
        fs::create_directories(home / "runtime");
        fs::permissions(home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
        env.push_back("XDG_RUNTIME_DIR=" + (home / "runtime").string());
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
        env.push_back("XDG_DATA_HOME=" + (home / "data").string());
        env.push_back("VELUMIX_EXIT_AFTER_SHOW=" + std::to_string(exitAfterMs));
        env.push_back("VELUMIX_BENCH_SONGS=" + songs);
        std::vector<char*> envp;
        for (auto& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        const std::string program = programPath().string();
        std::string noSound = "--no-sound";
        char* argv[] = {const_cast<char*>(program.c_str()), noSound.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        started_ = Clock::now();
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        fd_ = out[0];
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) close(fd_);
    }

    // Seconds from the spawn until the program printed "shown"; negative when it never did.
    double waitShown(int timeoutMs = 30000) {
        std::string text;
        while (pid_ > 0 && msSince(started_) < timeoutMs) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buf[256];
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
            if (text.find("shown") != std::string::npos) return msSince(started_) / 1000;
        }
        return -1;
    }
    bool finished() {
        if (pid_ <= 0) return true;
        if (waitpid(pid_, nullptr, 0) == pid_) pid_ = -1;
        return pid_ < 0;
    }
    // User plus system CPU seconds so far.
    double cpuSeconds() const {
        std::ifstream f("/proc/" + std::to_string(pid_) + "/stat");
        std::string line;
        std::getline(f, line);
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i)
            if (i >= 14) ticks += std::stod(field);
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    // A line of /proc/<pid>/status in MiB: "VmRSS:" all resident memory, "RssAnon:" the part that is the
    // program's own (the rest are pages of shared libraries, shared with every other process using them).
    double statusMib(const std::string& key = "VmRSS:") const {
        std::ifstream f("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(f, line);)
            if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int fd_ = -1;
    Clock::time_point started_;
};

void measureProgram(std::ostream& out, const fs::path& tracks) {
    QTemporaryDir home;
    const fs::path h = home.path().toStdString();
    std::vector<double> starts;
    for (int i = 0; i < 5; ++i) {
        Child c(h, 1, "");
        starts.push_back(c.waitShown());
        c.finished();
    }
    out << "startup_s " << median(starts) << " s\n";

    {
        Child idle(h, 3000, "");
        if (idle.waitShown() > 0) {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            out << "rss_idle_mib " << idle.statusMib() << " MiB\n";
            out << "rss_idle_private_mib " << idle.statusMib("RssAnon:") << " MiB\n";
        }
        idle.finished();
    }

    // Both decks play: the decoders are done when the process's CPU use settles; then five seconds count.
    const std::string songs = (tracks / "track5_0.mp3").string() + "|" + (tracks / "track5_1.mp3").string();
    Child play(h, 30000, songs);
    if (play.waitShown() < 0) return;
    double cpu = play.cpuSeconds();
    for (int s = 0; s < 15; ++s) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double now = play.cpuSeconds();
        const bool settled = now - cpu < 0.2 && s >= 2;
        cpu = now;
        if (settled) break;
    }
    const auto t0 = Clock::now();
    const double c0 = play.cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    out << "cpu_playing_pct " << 100.0 * (play.cpuSeconds() - c0) / (msSince(t0) / 1000) << " %\n";
    out << "rss_two_tracks_mib " << play.statusMib() << " MiB\n";
    out << "rss_two_tracks_private_mib " << play.statusMib("RssAnon:") << " MiB\n";
}

// ---------------------------------------------------------------- the console in this process

using vx::bench::loadAndPlay;
using vx::bench::Session;

// Two identical consoles play the same clips; one gets the control between two periods. The latency is
// the control call's own time plus the frames until the two outputs differ.
double controlToSoundMs(const fs::path& a, const fs::path& b,
                        const std::function<void(vx::DjConsole&)>& control) {
    Session s[2];
    std::unique_ptr<vx::DjConsole> c[2];
    for (int i = 0; i < 2; ++i) {
        c[i] = std::make_unique<vx::DjConsole>(*s[i].app, s[i].ticker);
        c[i]->startUp();
        loadAndPlay(*c[i], s[i], a, b);
    }
    std::vector<float> x(2 * kPeriod), y(2 * kPeriod);
    for (int i = 0; i < 100; ++i) {
        s[0].render(x);
        s[1].render(y);
    }
    const auto t0 = Clock::now();
    control(*c[1]);
    const double callMs = msSince(t0);
    for (int block = 0; block < 200; ++block) {
        s[0].render(x);
        s[1].render(y);
        for (int k = 0; k < 2 * kPeriod; ++k) {
            if (std::fabs(x[static_cast<std::size_t>(k)] - y[static_cast<std::size_t>(k)]) > 1e-6f)
                return callMs + 1000.0 * (block * kPeriod + k / 2 + 1) / kRate;
        }
    }
    return -1;
}

void measureControls(std::ostream& out, const fs::path& tracks) {
    // Music-like clips cut from the tracks: decoded at once, so every control run starts afresh.
    const fs::path clip[2] = {tracks / "clip20_0.wav", tracks / "clip20_1.wav"};
    for (int i = 0; i < 2; ++i) {
        if (!fs::exists(clip[i]))
            vx::bench::ffmpegMake("-i \"" + (tracks / ("track5_" + std::to_string(i) + ".mp3")).string() +
                                  "\" -t 20 \"" + clip[i].string() + "\"");
    }
    using vx::Side;
    const std::pair<const char*, std::function<void(vx::DjConsole&)>> controls[] = {
        {"volume", [](vx::DjConsole& c) { c.mixer().setDeckLevel(vx::MixerModel::kLeftDeck, 80); }},
        {"pan", [](vx::DjConsole& c) { c.mixer().pressMonitor(0); }},
        {"eq", [](vx::DjConsole& c) { c.deck(Side::Left).eqKill_Click(0); }},
        {"pitch", [](vx::DjConsole& c) { c.deck(Side::Right).pitchSlider_Change(1080); }},
        {"cue", [](vx::DjConsole& c) { c.deck(Side::Right).play_Click(); }},
    };
    double worst = 0;
    for (const auto& [name, control] : controls) {
        const double ms = controlToSoundMs(clip[0], clip[1], control);
        out << "control_to_sound_ms_" << name << " " << ms << " ms\n";
        worst = ms < 0 ? 1e9 : std::max(worst, ms);
    }
    out << "control_to_sound_ms " << worst << " ms\n";
    out << "output_period_ms " << 1000.0 * kPeriod / kRate << " ms\n";
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The console laid out and painted whole at a new size: a sweep from the smallest window to twice the
// design size and back, the median of the frames in the UI thread's CPU time (the machine may be shared;
// the wall-clock median goes to `wallMs`).
double resizeFrameMs(QWidget& window, double& wallMs) {
    const QSize least = window.minimumSize(), most = vx::ui::kConsoleDesignSize * 2;
    std::vector<double> frames, wall;
    for (int i = 0; i < 60; ++i) {
        const double t = (i < 30 ? i : 59 - i) / 29.0;
        const QSize size(least.width() + int(t * (most.width() - least.width())),
                         least.height() + int(t * (most.height() - least.height())));
        const auto t0 = Clock::now();
        const double c0 = threadCpuMs();
        window.resize(size);
        QApplication::sendPostedEvents();  // the resize and the layout's request
        window.repaint();
        frames.push_back(threadCpuMs() - c0);
        wall.push_back(msSince(t0));
    }
    wallMs = median(wall);
    return median(frames);
}

// One display tick every 80 ms of sound, both 5-minute tracks playing, the window shown offscreen.
void measureUiTick(std::ostream& out, const fs::path& tracks) {
    static int argc = 1;
    static char name[] = "velumix_bench";
    static char* argv[] = {name, nullptr};
    // The playlist figures leave a core application behind; the window needs a full one.
    if (QCoreApplication* core = QCoreApplication::instance(); core && !qobject_cast<QApplication*>(core))
        delete core;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Session s;
    vx::MainWindow window(*s.app);
    window.startConsole();
    window.show();
    QApplication::processEvents();
    loadAndPlay(window.console(), s, tracks / "track5_0.mp3", tracks / "track5_1.mp3");
    std::vector<float> block(2 * kPeriod);
    std::vector<double> tick, painted;
    for (int i = 0; i < 250; ++i) {
        for (int f = 0; f < kRate * 80 / 1000; f += kPeriod) s.render(block);
        const auto t0 = Clock::now();
        window.console().decks().tmrTrackLength_Timer();
        const double t = msSince(t0);
        QApplication::processEvents();
        if (i >= 10) {  // the first ticks lay out and cache glyphs
            tick.push_back(t);
            painted.push_back(msSince(t0));
        }
    }
    out << "ui_tick_ms " << median(tick) << " ms\n";
    out << "ui_tick_paint_ms " << median(painted) << " ms\n";
    double wallMs = 0;
    out << "resize_frame_ms " << resizeFrameMs(window, wallMs) << " ms\n";
    out << "resize_frame_wall_ms " << wallMs << " ms\n";
    window.console().shutDown();
}

}  // namespace

void runConsoleBenchmarks(std::ostream& out, const fs::path& tracks) {
    double load = 0;
    if (getloadavg(&load, 1) == 1) out << "console_load_average " << load << " runnable\n";
    out.flush();
    measureProgram(out, tracks);
    out.flush();
    measureControls(out, tracks);
    out.flush();
    measureUiTick(out, tracks);
    out.flush();
}
