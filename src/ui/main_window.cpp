#include "ui/main_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include "app/app_lifecycle.h"
#include "version.h"

namespace vx {

namespace {
// Layout in pixels: panels below the title strip, lined up with a small gap and a margin around them.
constexpr int kTitleHeight = 28;
constexpr int kPanelTop = kTitleHeight + 8;
constexpr PanelGeometry kPanelGeometry{10, 8};
constexpr int kMargin = 10;
constexpr int kDeckWidth = 420, kMixerWidth = 300, kPanelHeight = 330;

const char* kStyle =
    "#brevistoF { background: #14161b; }"
    "#titleBar { background: #1f232b; border-bottom: 1px solid #2e333d; }"
    "#titleText { color: #c9d1dc; font-weight: bold; }"
    "#imgIcon { color: #58e07a; font-weight: bold; }"
    "QPushButton { background: #2a2f39; color: #c9d1dc; border: 1px solid #3a404c; padding: 2px 10px; }"
    "QPushButton:hover { background: #353b47; }"
    "#cmdcloseButton:hover { background: #a02828; }"
    "#Left_Deck, #Right_Deck { background: #1b1e25; border: 1px solid #2f3541; border-radius: 4px; }"
    "#Mixer { background: #191c22; border: 1px solid #2f3541; border-radius: 4px; }";
}  // namespace

MainWindow::MainWindow(AppLifecycle& lifecycle, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), lifecycle_(lifecycle) {
    setObjectName("brevistoF");
    setWindowTitle(kProductName);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(kStyle);

    titleBar_ = buildTitleBar();
    panels_[static_cast<std::size_t>(Panel::LeftDeck)] = buildPanel("Left_Deck", kDeckWidth);
    panels_[static_cast<std::size_t>(Panel::Mixer)] = buildPanel("Mixer", kMixerWidth);
    panels_[static_cast<std::size_t>(Panel::RightDeck)] = buildPanel("Right_Deck", kDeckWidth);
    panel(Panel::Mixer)->setFocusPolicy(Qt::StrongFocus);

    applyDjSetup(lifecycle_.settings().DjSetup);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QWidget* MainWindow::buildTitleBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName("titleBar");
    bar->setAttribute(Qt::WA_StyledBackground);
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
        if (onOptions) onOptions();
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

QFrame* MainWindow::buildPanel(const char* name, int width) {
    auto* frame = new QFrame(this);
    frame->setObjectName(name);
    frame->resize(width, kPanelHeight);
    frame->installEventFilter(this);
    return frame;
}

void MainWindow::applyDjSetup(int djSetup) {
    std::array<int, 3> widths{};
    for (std::size_t i = 0; i < panels_.size(); ++i) widths[i] = panels_[i]->width();
    const std::array<int, 3> lefts = panelLefts(djSetup, widths, kPanelGeometry);
    int right = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->move(lefts[i], kPanelTop);
        right = std::max(right, lefts[i] + widths[i]);
    }
    // Fit the rightmost panel, whichever it is, so the mixer is never cut off.
    setFixedSize(right + kMargin, kPanelTop + kPanelHeight + kMargin);
    titleBar_->setGeometry(0, 0, width(), kTitleHeight);
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
        if (*it) (*it)->close();
    }
    openWindows_.clear();
    lifecycle_.unload();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        showHelp();
        return;
    }
    QWidget::keyPressEvent(event);
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

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) startMove(true);  // the window's background
    QWidget::mousePressEvent(event);
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
        if (watched == titleBar_) return startMove(false);
        if (watched == imgIcon_ || isMixer) return startMove(true);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        endMove();
    } else if (event->type() == QEvent::Enter &&
               (isMixer || watched == panel(Panel::LeftDeck) || watched == panel(Panel::RightDeck))) {
        panel(Panel::Mixer)->setFocus();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vx
