#include "ui/next_song_box.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

#include "app/dj_console.h"
#include "ui/widgets/dj_palette.h"

namespace vx {

NextSongBox::NextSongBox(DjConsole& console, QWidget* parent) : QLabel(parent), console_(console) {
    setObjectName("nextSongTXT");
    setFocusPolicy(Qt::NoFocus);
    setFont(ui::dj::lcdFont(13, false));
    setMinimumHeight(30);
    setTextFormat(Qt::PlainText);
    setCursor(Qt::OpenHandCursor);
    setStyleSheet(
        QStringLiteral("#nextSongTXT { background: #06141a; color: #7fe9ff; border: 1px solid #07080a;"
                       " border-radius: 4px; padding: 2px 6px; }"));
}

void NextSongBox::refresh() {
    const QString text = console_.nextSongText();
    if (text != this->text()) setText(text);
}

void NextSongBox::enterEvent(QEnterEvent* event) {
    setToolTip(text());
    QLabel::enterEvent(event);
}

void NextSongBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    console_.beginNextSongDrag();
    pressAt_ = event->position().toPoint();
    pressed_ = true;
    event->accept();
}

void NextSongBox::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return QLabel::mouseMoveEvent(event);
    if ((event->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    pressed_ = false;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setText(text());
    drag->setMimeData(mime);
    // A drop outside any deck ends the drag without loading anything.
    if (drag->exec(Qt::CopyAction) == Qt::IgnoreAction) console_.cancelNextSongDrag();
}

// A press that never became a drag brings nothing to a deck.
void NextSongBox::mouseReleaseEvent(QMouseEvent* event) {
    if (pressed_ && event->button() == Qt::LeftButton) console_.cancelNextSongDrag();
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
}

}  // namespace vx
