#include "ui/search_window.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace vx::ui {

namespace {
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    return b;
}
}  // namespace

SearchWindow::SearchWindow(playlist::PlaylistModel& playlist, Dialogs& dialogs, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), search_(playlist, dialogs) {
    setObjectName(QStringLiteral("searchF"));
    setWindowTitle(QStringLiteral("Velumix - Find Music..."));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* title = new QLabel(QStringLiteral("     Velumix - Search the Playlist..."), this);
    title->setObjectName(QStringLiteral("titleBar"));
    auto* close = button(this, "cmdcloseButton", QStringLiteral("X"), QString());
    auto* prompt = new QLabel(QStringLiteral("Search For:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("searchTXT"));
    auto* first =
        button(this, "findFirstCB", QStringLiteral("Find First"), QStringLiteral("Find First Match..."));
    auto* next =
        button(this, "FindNextCB", QStringLiteral("Find  Next"), QStringLiteral("Find Next Match..."));
    auto* previous =
        button(this, "findPrevCB", QStringLiteral("Previous"), QStringLiteral("Find Previous Match..."));

    auto* grid = new QGridLayout(this);
    grid->addWidget(title, 0, 0, 1, 3);
    grid->addWidget(close, 0, 3);
    grid->addWidget(prompt, 1, 0);
    grid->addWidget(text_, 1, 1, 1, 3);
    grid->addWidget(first, 2, 1);
    grid->addWidget(next, 2, 2);
    grid->addWidget(previous, 2, 3);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(first, &QPushButton::clicked, this, [this] { search_.findFirst(text_->text()); });
    connect(next, &QPushButton::clicked, this, [this] { search_.findNext(text_->text()); });
    connect(text_, &QLineEdit::returnPressed, this, [this] { search_.findNext(text_->text()); });
    connect(previous, &QPushButton::clicked, this, [this] { search_.findPrevious(text_->text()); });

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void SearchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// A press on the background, title strip or icon moves the frameless window.
void SearchWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) windowHandle()->startSystemMove();
}

void SearchWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    text_->setFocus();
}

}  // namespace vx::ui
