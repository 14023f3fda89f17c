#include "ui/associate_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "services/dialogs.h"

namespace vx::ui {

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
}  // namespace

AssociateWindow::AssociateWindow(DesktopAssociations& associations, int optStartUp,
                                 std::function<void(int)> storeStartUp, Dialogs& dialogs, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint),
      associations_(associations),
      optStartUp_(optStartUp),
      storeStartUp_(std::move(storeStartUp)),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmAssociate"));
    setWindowTitle(QStringLiteral("Velumix File Association "));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QFrame(this);  // the dialog's border
    frame->setFrameShape(QFrame::Box);
    auto* title = label(frame, "titleBar", QStringLiteral("        Associate Music files with Velumix..."));
    auto* close = new QPushButton(QStringLiteral("X"), frame);
    close->setObjectName(QStringLiteral("cmdcloseButton"));
    auto* files = new QGroupBox(QStringLiteral("Always open these files with Velumix:"), frame);
    files->setObjectName(QStringLiteral("fraFiles"));
    auto* filesLayout = new QVBoxLayout(files);
    const std::array<bool, kAssociationKinds> ours = associations_.read();
    associatedCount_ = associations_.associatedCount();
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const AssociationType& type = associationTypes()[i];
        boxes_[i] = new QCheckBox(QString::fromLatin1(type.caption), files);
        boxes_[i]->setObjectName(QString::fromLatin1(type.checkBox));
        boxes_[i]->setChecked(ours[i]);
        filesLayout->addWidget(boxes_[i]);
    }
    auto* updateButton = new QPushButton(QStringLiteral("Update"), frame);
    updateButton->setObjectName(QStringLiteral("cmdAssociate"));
    auto* note = label(frame, "Label18",
                       QStringLiteral("NOTE: You can undo this at any time (if you choose to) from the DJ "
                                      "Options dialog... "));
    note->setWordWrap(true);
    startupBox_ = new QCheckBox(frame);
    startupBox_->setObjectName(QStringLiteral("chkStartupShow"));
    startupBox_->setChecked(optStartUp_ == 1);
    startupLabel_ = label(frame, "lblStartup", QStringLiteral("Show on startup."));
    startupLabel_->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(title, 1);
    top->addWidget(close);
    auto* startup = new QHBoxLayout;
    startup->addWidget(startupBox_);
    startup->addWidget(startupLabel_, 1);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(top);
    layout->addWidget(files);
    layout->addWidget(updateButton);
    layout->addWidget(note);
    layout->addLayout(startup);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(updateButton, &QPushButton::clicked, this, &AssociateWindow::associate);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void AssociateWindow::associate() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::array<int, kAssociationKinds> ticks{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) ticks[i] = boxes_[i]->isChecked() ? 1 : 0;
    const auto error = associations_.update(ticks);
    QApplication::restoreOverrideCursor();
    if (error) {
        dialogs_.message(QStringLiteral("The file associations could not be saved.\n\n") + error->text,
                         QStringLiteral("Velumix File Association"), Dialogs::Icon::Exclamation,
                         Dialogs::Buttons::Ok);
    }
    close();
}

void AssociateWindow::toggleStartup() {
    startupBox_->setChecked(!startupBox_->isChecked());
    storeStartup();
}

void AssociateWindow::storeStartup() {
    const int value = startupBox_->isChecked() ? 1 : 0;
    if (value == optStartUp_) return;
    optStartUp_ = value;
    if (storeStartUp_) storeStartUp_(value);
}

void AssociateWindow::closeEvent(QCloseEvent* event) {
    storeStartup();
    QWidget::closeEvent(event);
}

void AssociateWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// A press on the background or the title strip moves the frameless window.
void AssociateWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) windowHandle()->startSystemMove();
}

bool AssociateWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == startupLabel_ && event->type() == QEvent::MouseButtonPress) {
        toggleStartup();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vx::ui
