#include "app/playlist_figures.h"

#include <cmath>

namespace vx {

PlaylistFigures::PlaylistFigures(playlist::PlaylistModel& model, TrackLibrary& tracks)
    : model_(model), tracks_(tracks) {
    model_.addObserver(this);
    listener_ = tracks_.addListener(
        [this](const QString& path, const TrackLibrary::Found& found) { arrived(path, *found); });
    linesReset();
}

PlaylistFigures::~PlaylistFigures() {
    tracks_.removeListener(listener_);
    model_.removeObserver(this);
}

std::optional<SortValues> PlaylistFigures::values(const QString& path) const {
    const auto it = values_.find(path);
    return it == values_.end() ? std::nullopt : std::optional<SortValues>(*it);
}

QString PlaylistFigures::text(const QString& path, Column column) const {
    const auto it = values_.find(path);
    if (it == values_.end()) return {};
    switch (column) {
        case Column::Bpm:
            return it->bpm > 0 ? QString::number(it->bpm, 'f', 1) : QString();
        case Column::Length: {
            if (it->durationS <= 0) return {};
            const int s = int(std::lround(it->durationS));
            return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
        }
        case Column::Loudness:
            return it->lufs > -70 ? QString::number(it->lufs, 'f', 1) + QStringLiteral(" LUFS") : QString();
    }
    return {};
}

void PlaylistFigures::sort(Column column, playlist::SortDirection direction) {
    model_.sortByFigure(
        [this, column](const QString& path) -> std::optional<double> {
            const auto it = values_.find(path);
            if (it == values_.end()) return std::nullopt;
            if (column == Column::Bpm) return it->bpm > 0 ? std::optional<double>(it->bpm) : std::nullopt;
            return column == Column::Length ? it->durationS : it->lufs;
        },
        direction);
}

void PlaylistFigures::linesReset() {
    const QStringList paths = model_.paths();
    values_ = tracks_.database().valuesFor(paths);
    for (const QString& path : paths) ask(path);
    if (changed_ && !paths.isEmpty()) changed_(0, int(paths.size()) - 1);
}

// A line's text changed (its tags were read or written): the song itself is the same.
void PlaylistFigures::linesChanged(int first, int last) {
    for (int i = first; i <= last && i < model_.count(); ++i) ask(model_.path(i));
}

// Every song of the list is asked for once a run.
void PlaylistFigures::ask(const QString& path) {
    if (asked_.contains(path)) return;
    asked_.insert(path);
    tracks_.request(path);
}

// The figures come with the analysis itself: no second read of the database.
void PlaylistFigures::arrived(const QString& path, const analysis::TrackAnalysis& found) {
    values_.insert(path, SortValues{found.bpm, found.lengthS, found.lufs});
    if (!changed_) return;
    for (int i = 0; i < model_.count(); ++i) {
        if (model_.path(i) == path) changed_(i, i);
    }
}

}  // namespace vx
