#include "playlist/playlist_model.h"

#include <QFileInfo>

#include "tags/text_rules.h"

namespace vx::playlist {

PlaylistModel::PlaylistModel(Dialogs& dialogs, SettingsStore& settings, tags::TagTextCache& cache,
                             RandomSource* random)
    : dialogs_(dialogs),
      settings_(settings),
      cache_(cache),
      ownRandom_(random == nullptr ? std::make_unique<FixedSeedRandom>() : nullptr),
      random_(random == nullptr ? *ownRandom_ : *random) {}

PlaylistModel::~PlaylistModel() {
    if (loader_ != nullptr) loader_->setResultHandler(nullptr);
}

void PlaylistModel::setFolders(const PlaylistFolders& folders) {
    addDir_ = folders.recPath;
    playlistDir_ = folders.playlistPath;
}

void PlaylistModel::setTagLoader(TagLoader* loader) {
    if (loader_ != nullptr) loader_->setResultHandler(nullptr);
    loader_ = loader;
    if (loader_ != nullptr) {
        loader_->setResultHandler([this](const std::vector<TagLoader::Result>& r) { applyTexts(r); });
    }
}

void PlaylistModel::addObserver(PlaylistObserver* observer) {
    observers_.push_back(observer);
}

void PlaylistModel::removeObserver(PlaylistObserver* observer) {
    std::erase(observers_, observer);
}

QString PlaylistModel::line(int i) const {
    const Entry& e = entries_.at(size_t(i));
    return QString::number(e.number) + (e.oneBlank ? QStringLiteral(". ") : QStringLiteral(".  ")) + e.text;
}

QStringList PlaylistModel::paths() const {
    QStringList out;
    out.reserve(count());
    for (const Entry& e : entries_) out.append(e.path);
    return out;
}

QString PlaylistModel::currentPath() const {
    return playlistPosition >= 0 && playlistPosition < count() ? path(playlistPosition) : QString();
}

void PlaylistModel::select(int index) {
    if (index < 0 || index >= count()) {
        selected_ = -1;
        nextSongPath.clear();
        nextSongText.clear();
    } else {
        selected_ = index;
        playlistPosition = index;
        nextSongPath = path(index);
        nextSongText = line(index);
    }
    for (PlaylistObserver* o : observers_) {
        o->currentChanged(selected_);
        o->nextSongChanged(nextSongPath, nextSongText);
    }
}

void PlaylistModel::deactivated() {
    if (count() == 0) select(-1);
}

// The text of a line: read now (from the cache when the file is unchanged) or, with a background loader,
// shown as the file name until a worker has read it, so that not even a look at the file holds up the window.
QString PlaylistModel::displayText(const QString& path) {
    return loader_ == nullptr ? cache_.texts(path).playlist : QString();
}

void PlaylistModel::appendEntry(const QString& path, int number) {
    Entry e{path, number, displayText(path), false, nextId_++, false};
    if (e.text.isEmpty()) {
        e.text = tags::fileNameOf(path);
        e.pending = true;
        ++pendingCount_;
        ++pendingTotal_;
    }
    entries_.push_back(std::move(e));
}

void PlaylistModel::requestPendingTexts() {
    if (loader_ == nullptr || pendingCount_ == 0) return;
    std::vector<TagLoader::Job> jobs;
    jobs.reserve(size_t(pendingCount_));
    for (int i = 0; i < count(); ++i) {
        const Entry& e = entries_[size_t(i)];
        if (e.pending) jobs.push_back({e.id, i, e.path});
    }
    loader_->cancelAll();
    loader_->request(std::move(jobs));
    notifyProgress();
}

// The row of an entry still waiting for its text: where it stood when asked, unless the list has changed
// since; then it is looked up.
int PlaylistModel::pendingRow(quint64 id, int hint) {
    if (hint >= 0 && hint < count() && entries_[size_t(hint)].id == id) return hint;
    if (rowOfId_.isEmpty()) {
        for (int i = 0; i < count(); ++i) {
            if (entries_[size_t(i)].pending) rowOfId_.insert(entries_[size_t(i)].id, i);
        }
    }
    return rowOfId_.value(id, -1);
}

void PlaylistModel::applyTexts(const std::vector<TagLoader::Result>& results) {
    rowOfId_.clear();
    int first = count(), last = -1;
    for (const TagLoader::Result& r : results) {
        const int row = pendingRow(r.id, r.row);
        if (row < 0 || !entries_[size_t(row)].pending) continue;
        Entry& e = entries_[size_t(row)];
        e.text = r.text;
        e.pending = false;
        --pendingCount_;
        first = std::min(first, row);
        last = std::max(last, row);
        if (row == selected_) nextSongText = line(row);
    }
    if (last >= 0) {
        for (PlaylistObserver* o : observers_) o->linesChanged(first, last);
        if (selected_ >= first && selected_ <= last) {
            for (PlaylistObserver* o : observers_) o->nextSongChanged(nextSongPath, nextSongText);
        }
    }
    notifyProgress();
}

void PlaylistModel::notifyProgress() {
    if (pendingCount_ == 0) pendingTotal_ = 0;
    const int done = pendingTotal_ - pendingCount_;
    for (PlaylistObserver* o : observers_) o->loadProgress(done, pendingTotal_);
}

void PlaylistModel::replaceEntries(std::vector<Entry> entries) {
    entries_ = std::move(entries);
    pendingCount_ = 0;
    for (const Entry& e : entries_) pendingCount_ += e.pending ? 1 : 0;
    if (pendingCount_ == 0) {
        pendingTotal_ = 0;
        if (loader_ != nullptr) loader_->cancelAll();
    }
    selected_ = -1;
    notifyReset();
}

void PlaylistModel::notifyReset() {
    for (PlaylistObserver* o : observers_) o->linesReset();
}

void PlaylistModel::setLabel(const QString& label) {
    label_ = label;
    for (PlaylistObserver* o : observers_) o->labelChanged(label_);
}

// The playlist's name: the file name without folder and extension.
void PlaylistModel::setLabelFromFile(const QString& fileName) {
    const QString name = tags::fileNameOf(fileName);
    const qsizetype dot = name.lastIndexOf(u'.');
    setLabel(dot > 0 ? name.left(dot) : name);
}

// Sorting and shuffling read the texts afresh: the cache answers for files unchanged since last read.
QString PlaylistModel::nextId3Text(const QString& path) {
    return cache_.texts(path).playlist;
}

QString loadingProgressText(int songsDone) {
    return QStringLiteral("Loading Playlist: ") + QString::number(songsDone) +
           QStringLiteral(" Songs done...");
}

}  // namespace vx::playlist
