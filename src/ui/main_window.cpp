#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "app/playlist_link.h"
#include "ui/console_geometry.h"
#include "ui/deck_panel.h"
#include "ui/key_filter.h"
#include "ui/key_labels.h"
#include "ui/mixer_panel.h"
#include "ui/options_window.h"
#include "options/options_model.h"
#include "ui/playlist_window.h"
#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"
#include "version.h"

namespace vx {

namespace {
// Design measures (scale 1, see console_geometry.h): panels below the title strip, lined up with a
// small gap and a margin around them; decks and mixer share the width 4 : 3 at any size.
constexpr int kTitleHeight = 28;
constexpr int kGap = 8;
constexpr int kMargin = 10;
constexpr int kDeckStretch = 4, kMixerStretch = 3;
// Where the console's size and place are remembered.
const QString kGeometrySetting = QStringLiteral("MainWindowGeometry");

// The look of plain Qt controls: the title strip's and the tool windows' the console owns. Kept off the
// console itself: a style sheet there would restyle every control at each rescale and make resizing
// slow; the panels draw themselves.
#define VX_PLAIN_CONTROLS                                                                                 \
    "QPushButton { background: #2a2f39; color: #c9d1dc; border: 1px solid #3a404c; padding: 2px 10px; }" \
    "QPushButton:hover { background: #353b47; }"                                                         \
    "QToolTip { background: #252a31; color: #dfe5ec; border: 1px solid #3a414b; }"
const char* kToolStyle = VX_PLAIN_CONTROLS;
const char* kTitleStyle =
    "#titleBar { background: #1f232b; border-bottom: 1px solid #2e333d; }"
    "#titleText { color: #c9d1dc; font-weight: bold; }"
    "#imgIcon { color: #58e07a; font-weight: bold; }"
    "#cmdcloseButton:hover { background: #a02828; }" VX_PLAIN_CONTROLS;
#undef VX_PLAIN_CONTROLS
}  // namespace

MainWindow::MainWindow(AppLifecycle& lifecycle, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), lifecycle_(lifecycle) {
    setObjectName("brevistoF");
    setWindowTitle(kProductName);
    setAttribute(Qt::WA_StyledBackground);

    ui::dj::applyConsolePalette(this);
    QToolTip::setPalette(palette());

    console_ = std::make_unique<DjConsole>(lifecycle_, lifecycle_.ticker());
    titleBar_ = buildTitleBar();
    showDropouts();
    leftDeck_ = new DeckPanel(*console_, Side::Left, this);
    mixer_ = new MixerPanel(*console_, this);
    rightDeck_ = new DeckPanel(*console_, Side::Right, this);
    panels_ = {leftDeck_, mixer_, rightDeck_};
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    titleBar_->setFixedHeight(kTitleHeight);
    column->addWidget(titleBar_);
    panelRow_ = new QHBoxLayout;
    panelRow_->setContentsMargins(kMargin, kGap, kMargin, kMargin);
    panelRow_->setSpacing(kGap);
    column->addLayout(panelRow_, 1);
    setMouseTracking(true);  // the pointer shows where the edges resize
    for (QWidget* p : panels_) p->installEventFilter(this);
    for (DeckPanel* d : {leftDeck_, rightDeck_}) d->focusMixer = [this] { mixer_->setFocus(); };
    console_->setChangedHandler([this] { refreshAll(); });
    console_->setTickHandler([this] { tickAll(); });
    console_->setBeep([] { QApplication::beep(); });
    ConsoleActions& actions = console_->actions();
    actions.focusMixer = [this] { mixer_->setFocus(); };
    actions.showHelp = [this] { showHelp(); };
    actions.openOptions = [this] { showOptions(); };
    actions.showPlaylist = [this] {
        if (onPlaylist) onPlaylist();
    };
    keyLabels_ = std::make_unique<KeyLabels>(*this, console_->keys());
    keyFilter_ = new KeyFilter(*this, console_->keys());
    qApp->installEventFilter(keyFilter_);

    applyDjSetup(lifecycle_.settings().DjSetup);
    settingsObserver_ = lifecycle_.settingsHolder().observe([this](const Settings& now, const Settings& before) {
        if (now.DjSetup != before.DjSetup) applyDjSetup(now.DjSetup);
    });
    setMinimumSize(ui::minimumConsoleSize());
    placeOnScreen();
}

void MainWindow::placeOnScreen() {
    const auto remembered = ui::geometryFromText(lifecycle_.store().read(kGeometrySetting));
    const QScreen* screen = remembered ? QGuiApplication::screenAt(remembered->center()) : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), ui::kConsoleDesignSize);
    setGeometry(ui::consoleGeometry(remembered, area));
    rescale();
}

void MainWindow::rescale() {
    const double factor = ui::consoleScale(size());
    if (std::abs(factor - scale_) < 0.002) return;
    scale_ = factor;
    ui::dj::applyScale(this, factor);
    layout()->activate();  // the key labels stand at the controls' new places
    if (keyLabels_) keyLabels_->refresh();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    rescale();
}

Qt::Edges MainWindow::resizeEdgesAt(QPoint pos) const {
    const int grip = ui::dj::scaled(this, kMargin);
    Qt::Edges edges;
    if (pos.x() < grip) edges |= Qt::LeftEdge;
    if (pos.x() >= width() - grip) edges |= Qt::RightEdge;
    if (pos.y() >= height() - grip) edges |= Qt::BottomEdge;
    // The title strip moves the window; only its outermost pixels resize.
    if (pos.y() < grip / 3) edges |= Qt::TopEdge;
    return edges;
}

QWidget* MainWindow::buildTitleBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName("titleBar");
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet(kTitleStyle);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 2, 4, 2);
    row->setSpacing(6);

    imgIcon_ = new QLabel(QString::fromUtf8("\u25C9"), bar);
    imgIcon_->setObjectName("imgIcon");
    auto* text = new QLabel(kProductName, bar);
    text->setObjectName("titleText");
    text->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* options = new QPushButton("Options", bar);
    options->setObjectName("optionsCB");
    auto* playlist = new QPushButton("Playlist", bar);
    playlist->setObjectName("playListCB");
    playlist->setToolTip("Open Playlist...");
    auto* minimize = new QPushButton(QString::fromUtf8("\u2013"), bar);
    minimize->setObjectName("CmdMinimizeButton");
    minimize->setToolTip("Minimize");
    auto* close = new QPushButton(QString::fromUtf8("\u2715"), bar);
    close->setObjectName("cmdcloseButton");
    close->setToolTip("Close");
    for (QPushButton* b : {options, playlist, minimize, close}) b->setFocusPolicy(Qt::NoFocus);

    row->addWidget(imgIcon_);
    row->addWidget(text);
    row->addStretch(1);
    row->addWidget(options);
    row->addWidget(playlist);
    row->addSpacing(12);
    row->addWidget(minimize);
    row->addWidget(close);

    connect(options, &QPushButton::clicked, this, [this] {
        if (const auto& open = console_->actions().openOptions) open();
    });
    connect(playlist, &QPushButton::clicked, this, [this] {
        if (onPlaylist) onPlaylist();
    });
    connect(minimize, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    bar->installEventFilter(this);
    imgIcon_->installEventFilter(this);
    return bar;
}

MainWindow::~MainWindow() {
    lifecycle_.settingsHolder().forget(settingsObserver_);
    delete keyFilter_;  // before the console it dispatches to
    console_->actions() = {};
    // The console's handlers point at the panels: silence them before the widgets go.
    console_->setChangedHandler(nullptr);
    console_->setTickHandler(nullptr);
    // The playlist window reads the library's figures, which go with the playlist's link.
    delete playlistWindow_;
    playlistWindow_ = nullptr;
    if (playlist_) {
        playlist_->setWindowLoader(nullptr);
        playlist_->disconnect();
    }
}

void MainWindow::attachPlaylist(ProgramPlaylist& playlist, Dialogs& dialogs) {
    playlist_ = &playlist;
    playlistDialogs_ = &dialogs;
    playlist.connect(*console_);
    playlist.setWindowLoader([this] { loadPlaylistWindow(); });
    onPlaylist = [this] { showPlaylistWindow(); };
}

// The window is made hidden, where its load puts it; from then on exit closes it with the others.
void MainWindow::loadPlaylistWindow() {
    if (playlistWindow_ || !playlist_) return;
    playlistWindow_ =
        new ui::PlaylistWindow(playlist_->model(), *playlistDialogs_, this, playlist_->figures());
    // Added to the window's own look (its dark list and headers), not in place of it.
    playlistWindow_->setStyleSheet(playlistWindow_->styleSheet() + QString::fromLatin1(kToolStyle));
    playlistWindow_->placeOnScreen();
    addOpenWindow(playlistWindow_);
}

void MainWindow::showPlaylistWindow() {
    if (!playlist_) return;
    playlist_->load();  // the window loads on first use if tmrAsync has not run yet
    if (!playlistWindow_) return;
    if (!playlistWindow_->isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            playlistWindow_->move(area.center() - playlistWindow_->rect().center());
        }
    }
    playlistWindow_->show();
    playlistWindow_->raise();
    playlistWindow_->activateWindow();
}

void MainWindow::startConsole() {
    console_->startUp();
    refreshAll();
}

void MainWindow::refreshAll() {
    leftDeck_->refresh();
    mixer_->refresh();
    rightDeck_->refresh();
    if (keyLabels_) keyLabels_->refresh();
}

void MainWindow::tickAll() {
    leftDeck_->tick();
    mixer_->tick();
    rightDeck_->tick();
    showDropouts();
}

void MainWindow::showDropouts() {
    const QString text = lifecycle_.soundSystem().dropoutText();
    if (titleBar_->toolTip() != text) titleBar_->setToolTip(text);
}

void MainWindow::applyDjSetup(int djSetup) {
    for (QWidget* p : panels_) panelRow_->removeWidget(p);
    for (Panel which : panelOrder(djSetup)) {
        panelRow_->addWidget(panel(which), which == Panel::Mixer ? kMixerStretch : kDeckStretch);
    }
    layout()->activate();
    if (keyLabels_) keyLabels_->refresh();
}

// Loaded afresh each time (the stored settings are read anew) and unloaded when closed.
void MainWindow::showOptions() {
    OptionsModel model(lifecycle_.store(), lifecycle_.settingsHolder(), lifecycle_.dialogs(), lifecycle_.library(),
                       soundDeviceList(lifecycle_.library()), lifecycle_.paths().playlistsDir);
    ui::OptionsWindow window(model, this);
    window.onAssociate = onAssociate;
    window.exec();
}

void MainWindow::addOpenWindow(QWidget* window) {
    openWindows_.removeAll(window);
    openWindows_.append(window);
}

void MainWindow::showHelp() {
    const auto file = lifecycle_.helpToOpen();
    if (file && !QDesktopServices::openUrl(QUrl::fromLocalFile(*file))) lifecycle_.reportHelpNotOpened(*file);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!lifecycle_.requestExit()) {
        event->ignore();
        return;
    }
    for (auto it = openWindows_.rbegin(); it != openWindows_.rend(); ++it) {
        if (!*it) continue;
        if (playlistWindow_ && *it == playlistWindow_) {
            playlist_->unload();  // "Last Playlist" is stored as the playlist window goes
            playlistWindow_->unload();
        } else {
            (*it)->close();
        }
    }
    openWindows_.clear();
    if (playlist_) playlist_->unload();
    lifecycle_.store().write(kGeometrySetting, ui::geometryText(geometry()));
    console_->shutDown();
    lifecycle_.unload();
    event->accept();
}

bool MainWindow::startMove(bool sizeAllPointer) {
    QWindow* window = windowHandle();
    if (!window) return false;
    if (sizeAllPointer) {
        setCursor(Qt::SizeAllCursor);
        movePointer_ = true;
    }
    return window->startSystemMove();
}

void MainWindow::endMove() {
    if (!movePointer_) return;
    movePointer_ = false;
    setCursor(Qt::ArrowCursor);
}

// A press on the background moves nothing (a missed fader must not drag the console); the edges resize.
void MainWindow::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = resizeEdgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle()) windowHandle()->startSystemResize(edges);
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!movePointer_) {
        const Qt::Edges e = resizeEdgesAt(event->position().toPoint());
        const bool diagonal = (e & (Qt::LeftEdge | Qt::RightEdge)) && (e & (Qt::TopEdge | Qt::BottomEdge));
        const bool falling = e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge);
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (diagonal) shape = falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
        else if (e & (Qt::LeftEdge | Qt::RightEdge)) shape = Qt::SizeHorCursor;
        else if (e) shape = Qt::SizeVerCursor;
        if (cursor().shape() != shape) setCursor(shape);
    }
    QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    endMove();
    QWidget::mouseReleaseEvent(event);
}

void MainWindow::enterEvent(QEnterEvent* event) {
    endMove();                        // the window system may have kept the release of a move
    panel(Panel::Mixer)->setFocus();  // keys reach the mixer wherever the pointer is
    QWidget::enterEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isMixer = watched == panel(Panel::Mixer);
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Only the title strip moves the window.
        if (watched == titleBar_) return startMove(false);
        if (watched == imgIcon_) return startMove(true);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        endMove();
    } else if (event->type() == QEvent::Enter &&
               (isMixer || watched == panel(Panel::LeftDeck) || watched == panel(Panel::RightDeck))) {
        panel(Panel::Mixer)->setFocus();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vx
