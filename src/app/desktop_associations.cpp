#include "app/desktop_associations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "app/mimeapps_list.h"
#include "services/bounded_file.h"

namespace vx {

namespace {

constexpr qint64 kMaxListBytes = 4 * 1024 * 1024;  // far beyond any real list; a larger file is not one

// Kinds whose every type has our desktop file as its default in `list`.
std::array<bool, kAssociationKinds> oursIn(const MimeAppsList& list) {
    const QString us = QString::fromLatin1(kDesktopFileName);
    std::array<bool, kAssociationKinds> ours{};
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const QStringList& types = associationTypes()[i].mimeTypes;
        ours[i] = std::all_of(types.begin(), types.end(), [&](const QString& type) {
            const QStringList entries = list.entries(MimeAppsList::kDefaultGroup, type);
            return !entries.isEmpty() && entries.front() == us;
        });
    }
    return ours;
}

// The program as one argument of an Exec line: quoted when it holds a character the line reserves,
// then escaped as a desktop entry's string value.
QString execArgument(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = program;
    if (std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); })) {
        argument.clear();
        for (const QChar c : program) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') argument += '\\';
            argument += c;
        }
        argument = '"' + argument + '"';
    }
    argument.replace('%', QStringLiteral("%%"));
    argument.replace('\\', QStringLiteral("\\\\"));
    return argument;
}

}  // namespace

const std::array<AssociationType, kAssociationKinds>& associationTypes() {
    static const std::array<AssociationType, kAssociationKinds> types = {{
        {AssociationKind::Mp3, ".mp3", "chkMP3", "MP3 - Mpeg Audio Format...", {"audio/mpeg"}},
        {AssociationKind::Wma, ".wma", "chkWMA", "WMA - Windows Media Audio...", {"audio/x-ms-wma"}},
        {AssociationKind::Asf, ".asf", "chkASF", "ASF - Advanced Streaming Format...", {"video/x-ms-asf"}},
        {AssociationKind::Wav, ".wav", "chkWAV", "WAV - Standard PCM WAV...", {"audio/x-wav", "audio/wav"}},
        {AssociationKind::M3u, ".m3u", "chkM3U", "M3U - Velumix Playlists...", {"audio/x-mpegurl"}},
    }};
    return types;
}

QStringList openableMimeTypes() {
    QStringList all;
    for (const AssociationType& type : associationTypes()) all << type.mimeTypes;
    return all;
}

QByteArray desktopEntryText(const QString& program, const QStringList& mimeTypes) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Velumix\n"
               "GenericName=DJ Mixer\n"
               "Comment=Mix music on two decks\n"
               "Exec=%1 %F\n"
               "Icon=velumix\n"
               "Terminal=false\n"
               "Categories=AudioVideo;Audio;Mixer;\n"
               "MimeType=%2\n")
        .arg(execArgument(program), mimeTypes.isEmpty() ? QString() : mimeTypes.join(';') + ';')
        .toUtf8();
}

QString desktopProgramFor(const QString& applicationFile) {
    const QString self = QFileInfo(applicationFile).canonicalFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("velumix"));
    if (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == self) return QStringLiteral("velumix");
    return self.isEmpty() ? QStringLiteral("velumix") : self;
}

DesktopPaths DesktopPaths::standard() {
    return under(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

DesktopPaths DesktopPaths::under(const QString& configHome, const QString& dataHome) {
    return {configHome + QStringLiteral("/mimeapps.list"),
            dataHome + QStringLiteral("/applications/") + QString::fromLatin1(kDesktopFileName)};
}

bool offerAssociationsAtStart(int optStartUp, int associatedCount) {
    return optStartUp == 1 && associatedCount < 2;
}

DesktopAssociations::DesktopAssociations(DesktopPaths paths, QString program)
    : paths_(std::move(paths)), program_(std::move(program)) {}

std::array<bool, kAssociationKinds> DesktopAssociations::read() {
    const BoundedRead file = readRegularFile(paths_.mimeappsList, kMaxListBytes);
    const auto ours =
        oursIn(MimeAppsList(file.status == BoundedRead::Status::Ok ? file.bytes : QByteArray()));
    associatedCount_ = int(std::count(ours.begin(), ours.end(), true));
    return ours;
}

std::optional<FileError> DesktopAssociations::update(const std::array<int, kAssociationKinds>& ticks) {
    const BoundedRead file = readRegularFile(paths_.mimeappsList, kMaxListBytes);
    if (file.status != BoundedRead::Status::Ok && file.status != BoundedRead::Status::Missing) {
        const bool tooLarge = file.status == BoundedRead::Status::TooLarge;
        return FileError{file.error,
                         paths_.mimeappsList + (tooLarge ? QStringLiteral(": too large to be a list")
                                                         : QStringLiteral(": cannot be read"))};
    }

    MimeAppsList list(file.bytes);
    const QString us = QString::fromLatin1(kDesktopFileName);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (ticks[i] != 0 && ticks[i] != 1) continue;
        for (const QString& type : associationTypes()[i].mimeTypes) {
            for (const char* group : {MimeAppsList::kDefaultGroup, MimeAppsList::kAddedGroup}) {
                if (ticks[i] == 1) {
                    list.putFirst(group, type, us);
                } else {
                    list.remove(group, type, us);
                }
            }
        }
    }

    QStringList declared;
    const auto ours = oursIn(list);
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (ours[i]) declared << associationTypes()[i].mimeTypes;
    }
    QDir().mkpath(QFileInfo(paths_.desktopFile).absolutePath());
    if (auto error = writeFileAtomically(paths_.desktopFile, desktopEntryText(program_, declared)))
        return error;

    const QByteArray text = list.text();
    if (file.status == BoundedRead::Status::Ok && text == file.bytes) return std::nullopt;
    if (file.status == BoundedRead::Status::Missing && text.isEmpty()) return std::nullopt;
    QDir().mkpath(QFileInfo(paths_.mimeappsList).absolutePath());
    return writeFileAtomically(paths_.mimeappsList, text);
}

}  // namespace vx
