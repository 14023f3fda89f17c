#pragma once

#include <QString>

namespace vx {

// The folders and files the program uses. Tests build their own under a temporary folder.
struct AppPaths {
    QString configFile;    // the settings: <XDG config>/Velumix/Velumix.conf
    QString keysFile;      // the key map: <XDG config>/Velumix/keys.conf
    QString dataDir;       // <XDG data>/Velumix
    QString loopsDir;      // <data>/Velumix Loops/ (saved loops; ends with "/")
    QString playlistsDir;  // <data>/Playlists (the first-run playlist folder)
    QString libraryFile;   // <data>/library.sqlite (analyses and hot cues of every song met)
    QString manualFile;    // the HTML manual's index.html, or empty when none is installed
    QString recordingsDir;  // <XDG music folder>/Velumix Recordings (made when the first recording starts)

    // The user's folders (XDG_CONFIG_HOME / XDG_DATA_HOME or their defaults), and the manual looked up
    // around the folder of the executable.
    static AppPaths standard(const QString& applicationDir);
    // Everything under `root` (config in root/config, data in root/data, music in root/music); used by tests.
    static AppPaths under(const QString& root, const QString& manualFile = {});
};

// The first existing manual next to the executable: <dir>/manual, <dir>/../share/velumix/manual (an
// installed program) or the source tree's docs/manual seen from the build folder. Empty when none exists.
QString findManual(const QString& applicationDir);

}  // namespace vx
