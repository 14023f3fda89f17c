#include <QApplication>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/analyse_with_library.h"
#include "app/app_lifecycle.h"
#include "app/desktop_associations.h"
#include "app/dj_console.h"
#include "app/key_help.h"
#include "app/offline_mix.h"
#include "app/playlist_link.h"
#include "app/single_instance.h"
#include "audio/engine_factory.h"
#include "audio/library_info.h"
#include "options/settings.h"
#include "playlist/command_line.h"
#include "playlist/info_command.h"
#include "services/command_line.h"
#include "services/ini_settings_store.h"
#include "services/qt_ticker.h"
#include "ui/associate_window.h"
#include "ui/loading_window.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "version.h"

namespace {
constexpr int kSplashPaintMs = 25;  // the splash is painted before the slow part of the start begins

// The benchmark's switch (bench/bench_console.cpp): with VELUMIX_EXIT_AFTER_SHOW=<ms> the program prints
// "shown" once the window is up, plays the songs of VELUMIX_BENCH_SONGS ("left|right") and quits <ms> later.
void benchAfterShow(vx::MainWindow& window) {
    const int exitAfterMs = qEnvironmentVariableIntValue("VELUMIX_EXIT_AFTER_SHOW");
    if (exitAfterMs <= 0) return;
    QTimer::singleShot(0, &window, [&window] {
        std::puts("shown");
        std::fflush(stdout);
        const QStringList songs = qEnvironmentVariable("VELUMIX_BENCH_SONGS").split('|', Qt::SkipEmptyParts);
        for (int i = 0; i < std::min<int>(2, songs.size()); ++i) {
            vx::Deck& deck = window.console().deck(i == 0 ? vx::Side::Left : vx::Side::Right);
            if (deck.loadSong(songs[i])) deck.play_Click();
        }
        window.console().notifyChanged();
    });
    QTimer::singleShot(exitAfterMs, [] { QCoreApplication::exit(0); });
}
}  // namespace

int main(int argc, char** argv) {
    // The command line is read before any window system is touched: --version and --help need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const vx::CommandLine commandLine = vx::parseCommandLine(arguments);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "velumix: %s\n\n%s", qPrintable(commandLine.error), qPrintable(vx::usageText()));
        return 2;
    }
    if (commandLine.showHelp) {
        std::fputs(qPrintable(vx::usageText()), stdout);
        return 0;
    }
    if (commandLine.printKeymap) {
        std::fputs(qPrintable(vx::keyTableHtml()), stdout);
        return 0;
    }
    if (commandLine.showInfo) {
        // Taken before QCoreApplication may remove its own options from argv; the bytes as given, so that
        // a name that is not UTF-8 stays whole.
        QList<QByteArray> fileNames;
        for (const int index : commandLine.fileIndexes) fileNames << QByteArray(argv[index + 1]);
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        return vx::playlist::runInfoCommand(fileNames, out);
    }
    if (commandLine.analyse) {
        QList<QByteArray> fileNames;  // the bytes as given, as for --info
        for (const int index : commandLine.fileIndexes) fileNames << QByteArray(argv[index + 1]);
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        const vx::AppPaths paths = vx::AppPaths::standard(QCoreApplication::applicationDirPath());
        return vx::runAnalyseWithLibrary(fileNames, out, paths.libraryFile, vx::consoleDialogs());
    }
    if (commandLine.renderMix) {
        QCoreApplication app(argc, argv);
        const vx::AppPaths paths = vx::AppPaths::standard(QCoreApplication::applicationDirPath());
        const vx::IniSettingsStore store(paths.configFile);
        return vx::runRenderMix(commandLine.files[0], commandLine.files[1], commandLine.seconds,
                                vx::automixStartSetting(store), stderr);
    }
    if (commandLine.showVersion) {
        std::printf("%s %s\n", vx::kProductName, vx::kVersionText);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(vx::kProductName);
    QApplication::setApplicationVersion(vx::kVersionText);

    // One console per user: a running program takes this start's files, before any window or sound
    // device of this one is opened.
    const vx::playlist::FilesToOpen open = vx::playlist::filesToOpen(commandLine.files);
    QStringList handed = open.more;
    if (!open.argument.isEmpty()) handed.prepend(open.argument);
    vx::SingleInstance instance(vx::SingleInstance::standardSocketPath());
    switch (instance.claim(handed)) {
        case vx::SingleInstance::Role::HandedOver:
            return 0;
        case vx::SingleInstance::Role::NoAnswer:
            std::fprintf(stderr, "velumix: Velumix runs already, but %s\n", qPrintable(instance.error()));
            return 1;
        case vx::SingleInstance::Role::Alone:
            std::fprintf(stderr, "velumix: later starts cannot reach this one: %s\n",
                         qPrintable(instance.error()));
            break;
        case vx::SingleInstance::Role::First:
            break;
    }

    vx::audio::EngineOptions engineOptions;
    engineOptions.forceNoSound = commandLine.noSound;
    const std::unique_ptr<vx::audio::SoundLibrary> engine = vx::audio::createEngine(engineOptions);
    vx::QtDialogs dialogs;
    vx::QtTicker ticker;
    const vx::AppPaths paths = vx::AppPaths::standard(QCoreApplication::applicationDirPath());
    vx::IniSettingsStore store(paths.configFile);
    vx::AppLifecycle lifecycle(*engine, dialogs, store, ticker, paths, &vx::audio::queryLibraryInfo);
    lifecycle.setCommandLine(open.argument, open.more);
    vx::DesktopAssociations associations(vx::DesktopPaths::standard(),
                                         vx::desktopProgramFor(QCoreApplication::applicationFilePath()));

    vx::LoadingWindow splash;
    splash.show();
    std::unique_ptr<vx::ProgramPlaylist> playlist;
    std::unique_ptr<vx::MainWindow> mainWindow;
    // Files of later starts join the playlist; until it exists they wait here.
    QStringList handedEarly;
    QObject::connect(&instance, &vx::SingleInstance::filesReceived, [&](const QStringList& files) {
        if (!playlist) {
            handedEarly << files;
            return;
        }
        playlist->addFiles(files);
        mainWindow->raise();
        mainWindow->activateWindow();
    });
    QTimer::singleShot(kSplashPaintMs, [&] {
        if (!lifecycle.start()) {
            splash.close();
            QCoreApplication::exit(lifecycle.exitCode());
            return;
        }
        playlist = std::make_unique<vx::ProgramPlaylist>(lifecycle, store);
        mainWindow = std::make_unique<vx::MainWindow>(lifecycle);
        QApplication::setPalette(mainWindow->palette());  // message boxes and tool windows look the same
        dialogs.setParent(mainWindow.get());
        mainWindow->attachPlaylist(*playlist, dialogs);
        playlist->addFiles(std::exchange(handedEarly, {}));
        // Shown first, so that a message about the song on the command line stands over the console.
        mainWindow->show();
        mainWindow->console().readSongsOffThread();
        mainWindow->startConsole();
        // "Show on startup." is stored at once and told to the running program.
        const auto storeStartUp = [&lifecycle, &store](int value) {
            vx::Settings settings = lifecycle.settings();
            settings.optStartUp = value;
            lifecycle.settingsHolder().update(settings);
            store.write("optStartUp", QString::number(value));
        };
        // The options dialog's Associate button opens the same window over it.
        mainWindow->onAssociate = [&, storeStartUp] {
            auto* window = new vx::ui::AssociateWindow(associations, lifecycle.settings().optStartUp, storeStartUp,
                                                       dialogs, mainWindow.get());
            window->setWindowModality(Qt::ApplicationModal);
            mainWindow->addOpenWindow(window);
            window->show();
        };
        auto* associate = new vx::ui::AssociateWindow(associations, lifecycle.settings().optStartUp, storeStartUp,
                                                      dialogs, mainWindow.get());
        if (vx::offerAssociationsAtStart(lifecycle.settings().optStartUp, associate->associatedCount())) {
            mainWindow->addOpenWindow(associate);
            associate->show();
        } else {
            delete associate;
        }
        // The splash stays in front until tmrAsync has read the remembered playlist's lines.
        splash.raise();
        playlist->setStartProgress(
            [&splash](int done, bool finished) { splash.showStartLoad(done, finished); });
        benchAfterShow(*mainWindow);
    });
    const int code = app.exec();
    mainWindow.reset();
    playlist.reset();
    return code;
}
