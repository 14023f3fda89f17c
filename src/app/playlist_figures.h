#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

#include "app/track_library.h"
#include "playlist/playlist_model.h"

namespace vx {

// The playlist's tempo, length and loudness columns: the figures the track database holds for its
// songs, read in one query whenever the list changes and again for a song whose analysis arrives. Every
// song that joins the playlist is asked for once a run, so that unknown ones get analysed in the
// background. Sorting by a column sorts by these figures: no song file is read for it. UI thread only.
class PlaylistFigures : private playlist::PlaylistObserver {
  public:
    enum class Column { Bpm, Length, Loudness };

    PlaylistFigures(playlist::PlaylistModel& model, TrackLibrary& tracks);
    ~PlaylistFigures() override;
    PlaylistFigures(const PlaylistFigures&) = delete;
    PlaylistFigures& operator=(const PlaylistFigures&) = delete;

    std::optional<SortValues> values(const QString& path) const;
    // The column's text for the song: "128.0", "3:45", "-9.1 LUFS"; empty while it is not known.
    QString text(const QString& path, Column column) const;
    void sort(Column column, playlist::SortDirection direction);

    // Told when the figures of these rows changed (first..last, inclusive).
    void setChangedHandler(std::function<void(int first, int last)> changed) { changed_ = std::move(changed); }

  private:
    void linesReset() override;
    void linesChanged(int first, int last) override;
    void ask(const QString& path);
    void arrived(const QString& path, const analysis::TrackAnalysis& found);

    playlist::PlaylistModel& model_;
    TrackLibrary& tracks_;
    int listener_ = 0;
    QHash<QString, SortValues> values_;
    QSet<QString> asked_;
    std::function<void(int, int)> changed_;
};

}  // namespace vx
