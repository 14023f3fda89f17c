// The playlist's editing commands: remove, clear, move, sort, shuffle and the tag editor's line.
#include "playlist/playlist_model.h"

#include <algorithm>

#include "playlist/shuffle.h"
#include "tags/text_rules.h"

namespace vx::playlist {

void PlaylistModel::removeCurrent() {
    if (count() == 0) return;
    const int index = std::clamp(playlistPosition, 0, count() - 1);
    QString quoted = line(index);
    if (quoted.size() > 2) quoted.remove(0, 2);
    quoted = tags::trimBlanks(quoted);
    if (dialogs_.message(QStringLiteral("Remove \"") + quoted + QStringLiteral("\" from the playlist?"),
                         QStringLiteral("Remove Song from playlist"), Dialogs::Icon::Question,
                         Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return;
    }
    playlistChanged = true;
    std::vector<Entry> rest = std::move(entries_);
    rest.erase(rest.begin() + index);
    replaceEntries(std::move(rest));
    if (index < count()) {
        select(index);
    } else if (count() > 0) {
        select(count() - 1);
    } else {
        playlistPosition = 0;
        select(-1);
    }
}

void PlaylistModel::clearAll() {
    if (count() == 0) return;
    if (dialogs_.message(QStringLiteral("Remove all songs from the playlist?"),
                         QStringLiteral("Please Confirm..."), Dialogs::Icon::Exclamation,
                         Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return;
    }
    playlistChanged = true;
    replaceEntries({});
    playlistPosition = 0;
    select(-1);
}

void PlaylistModel::moveUp() {
    const int t = playlistPosition - 1;
    if (t < 0 || playlistPosition >= count()) return;
    playlistChanged = true;
    std::swap(entries_[size_t(t)], entries_[size_t(playlistPosition)]);
    for (PlaylistObserver* o : observers_) o->linesChanged(t, t + 1);
    select(t);
}

void PlaylistModel::moveDown() {
    const int t = playlistPosition + 1;
    if (t >= count() || playlistPosition < 0) return;
    playlistChanged = true;
    std::swap(entries_[size_t(t)], entries_[size_t(playlistPosition)]);
    for (PlaylistObserver* o : observers_) o->linesChanged(t - 1, t);
    select(t);
}

void PlaylistModel::sortList(SortDirection direction) {
    playlistChanged = true;
    const int n = count() - 1;
    if (n < 1) return;
    std::vector<SortRow> rows;
    rows.reserve(entries_.size());
    for (const Entry& e : entries_) rows.push_back({nextId3Text(e.path), e.path, 0});
    assignLocaleRanks(rows);
    quickSort(rows, 0, n, direction);
    std::vector<Entry> sorted;
    sorted.reserve(rows.size());
    for (int i = 0; i <= n; ++i) {
        const SortRow& row = rows[size_t(i)];
        if (row.path.isEmpty()) continue;
        playlistPosition = i;
        sorted.push_back({row.path, i + 1, row.key, false, nextId_++, false});
    }
    replaceEntries(std::move(sorted));
    select(0);
}

void PlaylistModel::sortByFigure(const std::function<std::optional<double>(const QString&)>& figure,
                                 SortDirection direction) {
    playlistChanged = true;
    if (count() < 2) return;
    using Row = std::pair<std::optional<double>, Entry>;
    std::vector<Row> rows;
    rows.reserve(entries_.size());
    for (const Entry& e : entries_) rows.emplace_back(figure(e.path), e);
    std::stable_sort(rows.begin(), rows.end(), [direction](const Row& a, const Row& b) {
        if (!a.first || !b.first) return a.first.has_value() && !b.first.has_value();
        return direction == SortDirection::Ascending ? *a.first < *b.first : *a.first > *b.first;
    });
    std::vector<Entry> sorted;
    sorted.reserve(rows.size());
    for (auto& [value, e] : rows) {
        e.number = int(sorted.size()) + 1;  // the id stays: a text still being read finds its line
        sorted.push_back(std::move(e));
    }
    playlistPosition = 0;
    replaceEntries(std::move(sorted));
    select(0);
}

void PlaylistModel::shuffle() {
    playlistChanged = true;
    const int n = count() - 1;
    if (n < 1) return;
    playlistPosition = 0;
    QStringList shuffled = paths();
    std::vector<QString> items(shuffled.begin(), shuffled.end());
    applyShuffle(items, shuffleSwaps(n, random_));
    std::vector<Entry> rebuilt;
    rebuilt.reserve(items.size());
    for (int k = 0; k <= n; ++k) {
        playlistPosition = k;
        rebuilt.push_back({items[size_t(k)], k + 1, nextId3Text(items[size_t(k)]), false, nextId_++, false});
    }
    replaceEntries(std::move(rebuilt));
    select(0);
}

bool PlaylistModel::editTagsCommand() {
    if (count() > 0) return true;
    dialogs_.message(QStringLiteral("Please add some music First..."),
                     QStringLiteral("Error - No Song loaded"), Dialogs::Icon::Information,
                     Dialogs::Buttons::Ok);
    return false;
}

void PlaylistModel::rebuildLineAfterTagEdit() {
    const int index = playlistPosition;
    if (index < 0 || index >= count()) return;
    Entry& e = entries_[size_t(index)];
    cache_.forget(e.path);
    if (e.pending) --pendingCount_;
    e.pending = false;
    e.number = index + 1;
    e.oneBlank = true;
    e.text = nextId3Text(e.path);
    for (PlaylistObserver* o : observers_) o->linesChanged(index, index);
    select(selected_);
    const QString edited = e.path;  // an observer may change the list
    for (PlaylistObserver* o : observers_) o->songTagsChanged(edited);
}

}  // namespace vx::playlist
