#include "services/app_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vx {

namespace {
AppPaths fromFolders(const QString& configRoot, const QString& dataRoot) {
    AppPaths paths;
    paths.configFile = configRoot + "/Velumix/Velumix.conf";
    paths.keysFile = configRoot + "/Velumix/keys.conf";
    paths.dataDir = dataRoot + "/Velumix";
    paths.loopsDir = paths.dataDir + "/Velumix Loops/";
    paths.playlistsDir = paths.dataDir + "/Playlists";
    paths.libraryFile = paths.dataDir + "/library.sqlite";
    return paths;
}
// The user's music folder: XDG_MUSIC_DIR of user-dirs.dirs (what xdg-user-dir answers), or ~/Music where
// that is unset or disabled (set to the home folder itself).
QString musicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty() || QDir(music) == QDir::home()) return QDir::homePath() + QStringLiteral("/Music");
    return music;
}

const QString kRecordingsFolder = QStringLiteral("/Velumix Recordings");
}  // namespace

AppPaths AppPaths::standard(const QString& applicationDir) {
    AppPaths paths = fromFolders(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    paths.manualFile = findManual(applicationDir);
    paths.recordingsDir = musicFolder() + kRecordingsFolder;
    return paths;
}

AppPaths AppPaths::under(const QString& root, const QString& manualFile) {
    AppPaths paths = fromFolders(root + "/config", root + "/data");
    paths.manualFile = manualFile;
    paths.recordingsDir = root + "/music" + kRecordingsFolder;
    return paths;
}

QString findManual(const QString& applicationDir) {
    if (applicationDir.isEmpty()) return {};
    const QDir dir(applicationDir);
    const QStringList candidates = {
        "manual/index.html",
        "../share/velumix/manual/index.html",
        "../../docs/manual/index.html",  // build/src/velumix in a source checkout
        "../docs/manual/index.html",
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(dir.filePath(candidate));
        if (info.isFile()) return info.canonicalFilePath();
    }
    return {};
}

}  // namespace vx
