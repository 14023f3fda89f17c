#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "playlist/quicksort.h"
#include "playlist/random_source.h"
#include "playlist/tag_loader.h"
#include "services/dialogs.h"
#include "services/settings_store.h"
#include "tags/tag_cache.h"

namespace vx::playlist {

// Folders the playlist's file dialogs start in (owned by the options; given as plain values).
struct PlaylistFolders {
    QString playlistPath;  // open, import and save dialogs
    QString recPath;       // add-songs dialog
};

// Told about every change of the playlist, on the UI thread. Every method has a default that ignores it.
class PlaylistObserver {
  public:
    virtual ~PlaylistObserver() = default;
    virtual void linesReset() {}                               // the whole list changed
    virtual void linesChanged(int /*first*/, int /*last*/) {}  // these lines got a new text
    virtual void currentChanged(int /*index*/) {}              // -1: nothing selected
    virtual void labelChanged(const QString& /*label*/) {}
    // The picked song: its path and display line (the main window's next-song box). Empty when none.
    virtual void nextSongChanged(const QString& /*path*/, const QString& /*line*/) {}
    // The tags of this song were written: whatever shows its title reads it again.
    virtual void songTagsChanged(const QString& /*path*/) {}
    // Tag texts read so far of the entries loading in the background.
    virtual void loadProgress(int /*done*/, int /*total*/) {}
};

// The playlist: song paths with their numbered display lines, the current entry, the playlist file, and
// every command of the playlist window. No widgets: the window is a view over this, and every message and
// file dialog goes through the dialogs interface.
class PlaylistModel {
  public:
    struct Entry {
        QString path;
        int number = 0;
        QString text;           // display text (tag text or file name)
        bool oneBlank = false;  // the tag editor rebuilds a line with one blank after the full stop
        quint64 id = 0;
        bool pending = false;  // text still being read in the background
    };

    PlaylistModel(Dialogs& dialogs, SettingsStore& settings, tags::TagTextCache& cache,
                  RandomSource* random = nullptr);
    ~PlaylistModel();

    void setFolders(const PlaylistFolders& folders);
    // Reads new entries' texts in the background instead of at once. nullptr: read at once.
    void setTagLoader(TagLoader* loader);
    void addObserver(PlaylistObserver* observer);
    void removeObserver(PlaylistObserver* observer);

    // --- The list ---
    int count() const { return int(entries_.size()); }
    const Entry& entry(int i) const { return entries_.at(size_t(i)); }
    QString path(int i) const { return entries_.at(size_t(i)).path; }
    QString line(int i) const;  // "12.  Title - Artist"
    QStringList paths() const;
    QString currentPath() const;  // the path at playlistPosition, empty when none
    int selectedIndex() const { return selected_; }
    bool isLoading() const { return pendingCount_ > 0; }
    int pendingCount() const { return pendingCount_; }

    // --- Shared state ---
    int playlistPosition = 0;
    QString nextSongPath;
    QString nextSongText;  // what the main window's next-song box shows
    QString playlistFileName;
    bool playlistChanged = false;
    QString lastPlaylist;
    QString lastAddedSong;
    int entryNumber = 0;
    QString label() const { return label_; }

    // --- Start and end ---
    // Window load: a playlist on the command line, or the remembered one when the command line is empty.
    void startUp(const QString& commandLine);
    // Program end: stores "Last Playlist".
    void unload();

    // --- Files ---
    void loadsongs_to_playlist(const QStringList& paths);
    bool open_playlist(const QString& fileName);  // appends; false when the file cannot be read
    void Load_playlist(const QString& fileName);  // replaces
    bool save_playlist();
    void new_playlist();
    bool hide_playlist();  // false: the user cancelled, the window stays

    // --- Window commands (buttons and menu) ---
    void addSongs();                         // addCB
    // Files and folders dropped from a file manager: their music files are added as the add dialog's
    // choice is. False when there was none among them (the drop is refused).
    bool addDroppedFiles(const QStringList& paths);
    void newPlaylistCommand();               // newPlaylistCB
    void openPlaylistCommand();              // openPlaylistCB
    void importPlaylistCommand();            // importPlaylistCB
    bool saveCommand();                      // saveCB
    void removeCurrent();                    // removeCB, menu, Delete key
    void clearAll();                         // clearCB
    void moveUp();                           // cmdMoveUp
    void moveDown();                         // cmdMoveDown
    void sortList(SortDirection direction);  // cmdAZsort, cmdZAsort
    // Orders the songs by a figure known of them (tempo, length, loudness), keeping the order of equal
    // ones; songs without one go last either way. Renumbers as the A-Z sort does.
    void sortByFigure(const std::function<std::optional<double>(const QString& path)>& figure,
                      SortDirection direction);
    void shuffle();                          // cmdRandomShuffle
    bool editTagsCommand();                  // cmdID3: true when the tag editor may open
    void rebuildLineAfterTagEdit();          // after the tag editor saved

    // Picks an entry as a click on the list does (out of range: clears the next song).
    void select(int index);
    // The window lost the focus: with an empty list the next song is forgotten.
    void deactivated();

  private:
    void appendEntry(const QString& path, int number);
    QString displayText(const QString& path);
    void requestPendingTexts();
    void applyTexts(const std::vector<TagLoader::Result>& results);
    int pendingRow(quint64 id, int hint);
    void replaceEntries(std::vector<Entry> entries);
    void setLabelFromFile(const QString& fileName);
    void setLabel(const QString& label);
    bool writePlaylistFile();
    void notifyReset();
    void notifyProgress();
    QString nextId3Text(const QString& path);

    Dialogs& dialogs_;
    SettingsStore& settings_;
    tags::TagTextCache& cache_;
    std::unique_ptr<RandomSource> ownRandom_;
    RandomSource& random_;
    TagLoader* loader_ = nullptr;
    std::vector<PlaylistObserver*> observers_;
    std::vector<Entry> entries_;
    int selected_ = -1;
    quint64 nextId_ = 1;
    int pendingCount_ = 0;
    int pendingTotal_ = 0;
    QHash<quint64, int> rowOfId_;  // built only when a result's row hint is stale
    QString label_ = QStringLiteral("Now Playing: ");
    QString addDir_;
    QString playlistDir_;
};

// The splash window's line while the remembered playlist loads.
QString loadingProgressText(int songsDone);

}  // namespace vx::playlist
