#include "ui/playlist_window.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QTreeView>
#include <QWindow>

#include "app/playlist_figures.h"

#include "playlist/music_files.h"
#include "ui/edit_tags_window.h"
#include "ui/print_window.h"
#include "ui/search_window.h"
#include "ui/widgets/dj_palette.h"

namespace vx::ui {

// The visible list's rows: the model's display lines, then the figures the library knows of each song.
class PlaylistLines : public QAbstractTableModel {
  public:
    PlaylistLines(const playlist::PlaylistModel& model, const PlaylistFigures* figures)
        : model_(model), figures_(figures) {}
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : model_.count(); }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (index.row() >= model_.count()) return {};
        if (role == Qt::TextAlignmentRole && index.column() > 0) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        if (index.column() == 0) return model_.line(index.row());
        if (!figures_) return {};
        return figures_->text(model_.path(index.row()), static_cast<PlaylistFigures::Column>(index.column() - 1));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const names[] = {"Song", "BPM", "Length", "Loudness"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3) return {};
        return QString::fromLatin1(names[section]);
    }
    void reset() {
        beginResetModel();
        endResetModel();
    }
    void changed(int first, int last) { emit dataChanged(index(first, 0), index(last, 3)); }

  private:
    const playlist::PlaylistModel& model_;
    const PlaylistFigures* figures_;
};

namespace {
struct Command {
    const char* name;
    const char* caption;
    const char* hint;
};
}  // namespace

PlaylistWindow::PlaylistWindow(playlist::PlaylistModel& model, Dialogs& dialogs, QWidget* owner,
                               PlaylistFigures* figures)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint),
      model_(model),
      dialogs_(dialogs),
      lines_(std::make_unique<PlaylistLines>(model, figures)),
      figures_(figures),
      print_(std::make_unique<PrintSetup>()) {
    setObjectName(QStringLiteral("playlistF"));
    setWindowTitle(QStringLiteral("Velumix Playlist"));
    // The console's dark look, with lines large enough to read at a glance in a dark room.
    ui::dj::applyConsolePalette(this);
    setStyleSheet(QStringLiteral(
        "#playlistF { border: 1px solid #3a414b; }"
        "#titleBar { background: #1f232b; color: #c9d1dc; font-weight: bold; }"
        "#imgIcon { color: #58e07a; }"
        "#playlistLABEL { color: #58e07a; font-weight: bold; font-size: 14px; }"
        "#List1_1 { font-size: 13px; background: #1a1d22; color: #dfe5ec; border: 1px solid #07080a;"
        " selection-background-color: #38c6ff; selection-color: #101215; }"
        "#List1_1 QHeaderView::section { background: #1f232b; color: #9aa4b1; border: none;"
        " border-right: 1px solid #07080a; padding: 2px 6px; }"
        "QGroupBox { color: #9aa4b1; font-weight: bold; }"
        "#loadingLABEL { color: #7d8894; }"));

    auto* icon = new QLabel(QStringLiteral("\u266B"), this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    auto* title = new QLabel(QStringLiteral("  Velumix Playlist"), this);
    title->setObjectName(QStringLiteral("titleBar"));
    auto* close = new QPushButton(QStringLiteral("X"), this);
    close->setObjectName(QStringLiteral("cmdcloseButton"));
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(title, 1);
    top->addWidget(close);

    label_ = new QLabel(model_.label(), this);
    label_->setObjectName(QStringLiteral("playlistLABEL"));
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("loadingLABEL"));
    progress_->hide();

    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("List1_1"));
    list_->setModel(lines_.get());
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);  // long lists lay out at once
    list_->setAllColumnsShowFocus(true);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c) {
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        list_->setColumnHidden(c, figures_ == nullptr);
    }
    header->setSectionsClickable(figures_ != nullptr);
    list_->setHeaderHidden(figures_ == nullptr);
    if (figures_) {
        connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
            if (column < 1) return;
            const bool again = column == sortedBy_;
            descending_ = again && !descending_;
            sortedBy_ = column;
            busy([&] {
                figures_->sort(static_cast<PlaylistFigures::Column>(column - 1),
                               descending_ ? playlist::SortDirection::Descending : playlist::SortDirection::Ascending);
            });
        });
        figures_->setChangedHandler([this](int first, int last) { lines_->changed(first, last); });
    }
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QTreeView::clicked, this, [this](const QModelIndex& i) { model_.select(i.row()); });
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& i) {
                if (!selecting_ && i.isValid()) model_.select(i.row());
            });
    connect(list_, &QTreeView::doubleClicked, this, [this] {
        hide();
        model_.hide_playlist();
    });
    connect(close, &QPushButton::clicked, this, &PlaylistWindow::closeCommand);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(label_);
    layout->addWidget(list_, 1);
    layout->addWidget(progress_);
    layout->addWidget(buildButtons());
    buildMenu();
    setAcceptDrops(true);  // music files from a file manager
    resize(560, 520);
    model_.addObserver(this);
    linesReset();
    currentChanged(model_.selectedIndex());
}

PlaylistWindow::~PlaylistWindow() {
    if (figures_) figures_->setChangedHandler(nullptr);
    model_.removeObserver(this);
}

void PlaylistWindow::placeOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + int((area.height() - height()) * 0.6));
    }
}

template <typename F>
void PlaylistWindow::busy(F&& command) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    command();
    QApplication::restoreOverrideCursor();
}

QWidget* PlaylistWindow::buildButtons() {
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    const auto group = [this, row](const QString& caption, std::initializer_list<Command> commands) {
        auto* box = new QGroupBox(caption, this);
        auto* grid = new QGridLayout(box);
        int n = 0;
        for (const Command& c : commands) {
            auto* b = new QPushButton(QString::fromLatin1(c.caption), box);
            b->setObjectName(QString::fromLatin1(c.name));
            b->setToolTip(QString::fromLatin1(c.hint));
            grid->addWidget(b, n / 3, n % 3);
            ++n;
        }
        row->addWidget(box);
    };
    group(QStringLiteral("Playlist"), {{"newPlaylistCB", "New", "Create a New Playlist..."},
                                       {"cmdPrint", "Print", "Print this DJ Playlist..."},
                                       {"clearCB", "Clear", "Clear Playlist..."},
                                       {"openPlaylistCB", "Open", "Open Existing Playlist..."},
                                       {"saveCB", "Save", "Save Playlist..."},
                                       {"importPlaylistCB", "Import", "Import Playlist..."}});
    group(QStringLiteral("Music Files"), {{"cmdID3", "ID3", "Edit Song information (ID3)..."},
                                          {"removeCB", "Remove", "Remove Song from Playlist..."},
                                          {"addCB", "Add", "Load songs..."},
                                          {"findCB", "Find", "Search the playlist for a song..."},
                                          {"cmdZAsort", "Z-A", "Sort Descending ..."},
                                          {"cmdAZsort", "A-Z", "Sort Ascending..."},
                                          {"cmdRandomShuffle", "Shuffle", "Random Shuffle..."},
                                          {"cmdMoveDown", "Down", "Move Down..."},
                                          {"cmdMoveUp", "Up", "Move Up..."}});
    const auto on = [this](const char* name, auto slot) {
        connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this, slot);
    };
    on("newPlaylistCB", [this] { model_.newPlaylistCommand(); });
    on("cmdPrint", [this] { printCommand(); });
    on("clearCB", [this] { model_.clearAll(); });
    on("openPlaylistCB", [this] { model_.openPlaylistCommand(); });
    on("saveCB", [this] { model_.saveCommand(); });
    on("importPlaylistCB", [this] { model_.importPlaylistCommand(); });
    on("cmdID3", [this] { editTagsCommand(); });
    on("removeCB", [this] { model_.removeCurrent(); });
    on("addCB", [this] { model_.addSongs(); });
    on("findCB", [this] { findCommand(); });
    on("cmdZAsort", [this] { busy([this] { model_.sortList(playlist::SortDirection::Descending); }); });
    on("cmdAZsort", [this] { busy([this] { model_.sortList(playlist::SortDirection::Ascending); }); });
    on("cmdRandomShuffle", [this] { busy([this] { model_.shuffle(); }); });
    on("cmdMoveDown", [this] { busy([this] { model_.moveDown(); }); });
    on("cmdMoveUp", [this] { busy([this] { model_.moveUp(); }); });
    return panel;
}

void PlaylistWindow::buildMenu() {
    menu_ = new QMenu(QStringLiteral("File"), this);
    menu_->setObjectName(QStringLiteral("mnuFile"));
    const auto item = [this](const char* name, const QString& text, auto slot) {
        QAction* a = menu_->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
    };
    item("mnuFileEditTags", QStringLiteral("Edit Song Information"), [this] { editTagsCommand(); });
    menu_->addSeparator();
    item("mnuFileSortAsc", QStringLiteral("Sort Ascending"),
         [this] { busy([this] { model_.sortList(playlist::SortDirection::Ascending); }); });
    item("mnuFileSortDesc", QStringLiteral("Sort Descending"),
         [this] { busy([this] { model_.sortList(playlist::SortDirection::Descending); }); });
    menu_->addSeparator();
    item("mnuFileRandomShuffle", QStringLiteral("Random Shuffle"),
         [this] { busy([this] { model_.shuffle(); }); });
    menu_->addSeparator();
    item("mnuFileRemove", QStringLiteral("Remove from Playlist"), [this] { model_.removeCurrent(); });
}

// The row under the pointer, or the last row when the pointer is below it.
void PlaylistWindow::showMenuAt(const QPoint& listPos) {
    if (model_.count() == 0) return;
    const QModelIndex at = list_->indexAt(listPos);
    model_.select(at.isValid() ? at.row() : model_.count() - 1);
    list_->setFocus();
    menu_->popup(list_->viewport()->mapToGlobal(listPos));
}

void PlaylistWindow::closeCommand() {
    if (model_.hide_playlist()) hide();
}

void PlaylistWindow::editTagsCommand() {
    if (!model_.editTagsCommand()) return;
    EditTagsWindow editor(model_.currentPath(), dialogs_, this);
    editor.setPalette(palette());
    if (editor.exec() == QDialog::Accepted) model_.rebuildLineAfterTagEdit();
}

void PlaylistWindow::findCommand() {
    auto* search = new SearchWindow(model_, dialogs_, this);
    search->setPalette(palette());
    search->show();
}

void PlaylistWindow::printCommand() {
    QStringList lines;
    for (int i = 0; i < model_.count(); ++i) lines << model_.line(i);
    printPlaylistLines(lines, *print_, dialogs_, this);
}

// The window sees keys before its controls: Escape and Enter hide it, Delete removes the current song.
bool PlaylistWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            hide();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            model_.removeCurrent();
            return true;
        }
    }
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            showMenuAt(mouse->position().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PlaylistWindow::keyPressEvent(QKeyEvent* event) {
    if (!eventFilter(this, event)) QWidget::keyPressEvent(event);
}

// A press on the background, title strip or icon moves the frameless window.
void PlaylistWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) windowHandle()->startSystemMove();
}

void PlaylistWindow::unload() {
    unloading_ = true;
    close();
}

void PlaylistWindow::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    closeCommand();
}

void PlaylistWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            list_->setFocus();
        } else {
            model_.deactivated();
        }
    }
    QWidget::changeEvent(event);
}

namespace {
QStringList localFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files << url.toLocalFile();
    }
    return files;
}
}  // namespace

// Only local music files and folders are taken; anything else is refused at once, so the pointer says so.
void PlaylistWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QStringList files = localFiles(event->mimeData());
    const bool music = std::any_of(files.begin(), files.end(), [](const QString& f) {
        return QFileInfo(f).isDir() || playlist::isMusicFileName(f);
    });
    if (music) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PlaylistWindow::dropEvent(QDropEvent* event) {
    bool added = false;
    busy([&] { added = model_.addDroppedFiles(localFiles(event->mimeData())); });
    if (added) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PlaylistWindow::linesReset() {
    lines_->reset();
}

void PlaylistWindow::linesChanged(int first, int last) {
    lines_->changed(first, last);
}

void PlaylistWindow::currentChanged(int index) {
    selecting_ = true;
    if (index < 0) {
        list_->clearSelection();
    } else {
        list_->setCurrentIndex(lines_->index(index, 0));
        list_->scrollTo(lines_->index(index, 0));
    }
    selecting_ = false;
}

void PlaylistWindow::labelChanged(const QString& label) {
    label_->setText(label);
}

void PlaylistWindow::loadProgress(int done, int total) {
    progress_->setVisible(total > 0);
    progress_->setText(playlist::loadingProgressText(done));
}

}  // namespace vx::ui
