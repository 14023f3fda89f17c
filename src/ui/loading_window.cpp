#include "ui/loading_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "version.h"

namespace vx {

LoadingWindow::LoadingWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("loadingF");
    setAttribute(Qt::WA_QuitOnClose, false);
    setStyleSheet(
        "#loadingF { background: #15171c; border: 1px solid #3a3f4b; }"
        "QLabel { color: #d8dde6; }"
        "#productLabel { color: #58e07a; font-size: 28px; font-weight: bold; }");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);

    auto* product = new QLabel(kProductName, this);
    product->setObjectName("productLabel");
    auto* version = new QLabel(
        QString("version %1.%2 build %3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch), this);
    version->setObjectName("ver_label");
    status_ = new QLabel("Initializing Sound System...", this);
    status_->setObjectName("loadingLABEL");

    layout->addWidget(product);
    layout->addWidget(version);
    layout->addStretch(1);
    layout->addWidget(status_);
    resize(380, 160);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void LoadingWindow::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    close();
}

void LoadingWindow::setLoadedSongs(int songs) {
    if (songs < lastShown_) return;
    lastShown_ = songs;
    status_->setText(QString("Loading Playlist: %1 Songs done...").arg(songs));
}

void LoadingWindow::showStartLoad(int songsDone, bool finished) {
    if (songsDone > 0) setLoadedSongs(songsDone);
    if (finished) close();
}

}  // namespace vx
