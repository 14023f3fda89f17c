// Start-up of the program: the library checks and the load of the main window's world.
#include <QDir>
#include <QFileInfo>

#include "app/app_lifecycle.h"
#include "app/library_check.h"
#include "services/atomic_file.h"
#include "services/command_line.h"
#include "services/dialogs.h"

namespace vx {

AppLifecycle::AppLifecycle(audio::SoundLibrary& library, Dialogs& dialogs, SettingsStore& store,
                           Ticker& ticker, AppPaths paths, std::function<audio::LibraryInfo()> libraryInfo)
    : library_(library),
      dialogs_(dialogs),
      store_(store),
      ticker_(ticker),
      paths_(std::move(paths)),
      libraryInfo_(std::move(libraryInfo)),
      soundSystem_(library, dialogs),
      streams_(library, dialogs) {
    streams_.setErrorReporter([this](const QString& message) { soundSystem_.ThrowError(message); });
}

AppLifecycle::~AppLifecycle() {
    if (settingsObserver_ != 0) settings_.forget(settingsObserver_);
}

void AppLifecycle::setCommandLine(const QString& argument, const QStringList& more) {
    commandLineArgument_ = argument;
    commandLineMore_ = more;
    commandLineSong_ = musicFileFrom(argument);
}

bool AppLifecycle::start() {
    if (state_ != State::NotStarted) return state_ == State::Running;
    const bool ok = checkLibraries(libraryInfo_ ? libraryInfo_() : audio::LibraryInfo{}, dialogs_) && load();
    state_ = ok ? State::Running : State::Failed;
    return ok;
}

bool AppLifecycle::load() {
    tmrAsync_ = ticker_.createTimer(1, [this] {
        if (asyncTask_) asyncTask_();
    });
    tmrAsync_->setSingleShot(true);

    // Help is offered when the manual shipped with the program is there.
    helpFile_ = QFileInfo(paths_.manualFile).isFile() ? paths_.manualFile : QString();

    // A folder that cannot be made only fails later, when a loop is saved.
    QDir().mkpath(paths_.loopsDir);
    loopsFolder_ = paths_.loopsDir;

    settings_.reset(loadSettings(store_, soundDeviceList(library_), paths_.playlistsDir));
    const Settings& s = settings_.get();
    storeSettings(store_, s);  // the first run's values live on to the next start
    removeStaleSaves();
    streams_.setStreamFlags(static_cast<std::uint32_t>(s.SeekAccuracy));
    if (settingsObserver_ == 0) {
        settingsObserver_ =
            settings_.observe([this](const Settings& now, const Settings& before) { settingsChanged(now, before); });
    }

    library_.setLimiter(s.Limiter);
    library_.setOutputLatency(s.OutputLatencyMs / 1000.0);
    library_.setHeadphones(s.Headphones);
    if (!soundSystem_.init_BASS(s.outputDevice, s.outputFrequency)) return false;
    library_.setBufferLength(s.Buffer);
    library_.setEqMode(s.EQMode);

    tmrAsync_->setEnabled(true);
    return true;
}

// Streams opened from now on seek as chosen; the equaliser shapes its next band change in the chosen mode.
void AppLifecycle::settingsChanged(const Settings& now, const Settings& before) {
    if (now.SeekAccuracy != before.SeekAccuracy) {
        streams_.setStreamFlags(static_cast<std::uint32_t>(now.SeekAccuracy));
    }
    if (now.EQMode != before.EQMode) library_.setEqMode(now.EQMode);
}

// Temporaries of saves that were killed, in the folders the program writes to.
void AppLifecycle::removeStaleSaves() {
    for (const QString& folder : {QFileInfo(paths_.configFile).absolutePath(), paths_.loopsDir,
                                  paths_.playlistsDir, settings_.get().playlistPath}) {
        removeStaleTemporaries(folder);
    }
}

std::optional<QString> AppLifecycle::helpToOpen() {
    if (!helpFile_.isEmpty() && QFileInfo(helpFile_).isFile()) return helpFile_;
    dialogs_.message(
        "The Velumix manual could not be found. It is looked for in the folder \"manual\" next to the "
        "program and in \"share/velumix/manual\" of its installation. Please reinstall Velumix to view "
        "the help file.",
        "Help cannot start...", Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    return std::nullopt;
}

void AppLifecycle::reportHelpNotOpened(const QString& file) {
    dialogs_.message("No web browser could be started to show the help file " + file +
                         ". Please install a web browser, or open the file in one yourself.",
                     "Help cannot start...", Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

}  // namespace vx
