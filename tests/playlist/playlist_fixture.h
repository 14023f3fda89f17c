#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "playlist/playlist_model.h"
#include "support/fakes.h"
#include "support/tag_fixtures.h"

namespace vx::test {

// A playlist model over scripted dialogs and in-memory settings, with a temporary folder of tagged songs.
class PlaylistFixture : public ::testing::Test {
  protected:
    PlaylistFixture() : model(dialogs, settings, cache) {
        model.setFolders({dir.filePath("lists"), dir.filePath("music")});
        QDir().mkpath(dir.filePath("lists"));
    }

    // A tagged MP3 "<name>.mp3" whose playlist text is "<title> - <artist>".
    QString song(const QString& name, const QString& title, const QString& artist = "Band") {
        return writeTaggedMp3(dir.filePath("music/" + name + ".mp3"), title, artist);
    }
    QStringList songs(const QStringList& titles) {
        QStringList out;
        for (const QString& t : titles) out << song(t, t, t);
        return out;
    }
    QStringList lines() const { return lines(model); }
    static QStringList lines(const playlist::PlaylistModel& m) {
        QStringList out;
        for (int i = 0; i < m.count(); ++i) out << m.line(i);
        return out;
    }
    QString lastMessage() const { return dialogs.shown.empty() ? QString() : dialogs.shown.back().text; }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    MemorySettings settings;
    tags::TagTextCache cache;
    playlist::PlaylistModel model;
};

}  // namespace vx::test
