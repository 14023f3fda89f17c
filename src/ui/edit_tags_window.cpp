#include "ui/edit_tags_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace vx::ui {

namespace {
using View = tags::TagEditorModel::View;

QString indexed(const char* name, int index) {
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

QLineEdit* box(QWidget* parent, const char* name, int index) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(indexed(name, index));
    return edit;
}
}  // namespace

EditTagsWindow::EditTagsWindow(const QString& path, Dialogs& dialogs, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), model_(path, dialogs) {
    setObjectName(QStringLiteral("editTagsF"));
    setWindowTitle(QStringLiteral("Velumix Music Information..."));
    setModal(true);

    auto* icon = new QLabel(QStringLiteral("\u266B"), this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    auto* title = new QLabel(QStringLiteral("         Velumix Music Information..."), this);
    title->setObjectName(QStringLiteral("titleBar"));
    auto* closeButton = new QPushButton(QStringLiteral("X"), this);
    closeButton->setObjectName(QStringLiteral("cmdcloseButton"));
    closeButton->setToolTip(QStringLiteral("Exit from the Recorder..."));
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(title, 1);
    top->addWidget(closeButton);

    auto* format = new QGroupBox(QStringLiteral("Tag Format:"), this);
    auto* formatLayout = new QHBoxLayout(format);
    const QString captions[3] = {QStringLiteral("ID3v1 "), QStringLiteral("ID3v2"),
                                 QStringLiteral("WMA/ASF")};
    for (int i = 0; i < 3; ++i) {
        options_[size_t(i)] = new QRadioButton(captions[i], format);
        options_[size_t(i)]->setObjectName(indexed("ID3ver", i));
        formatLayout->addWidget(options_[size_t(i)]);
        connect(options_[size_t(i)], &QRadioButton::clicked, this, [this, i] { chooseView(i); });
    }

    save_ = new QPushButton(QStringLiteral("Save"), this);
    save_->setObjectName(QStringLiteral("cmdSave"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdClose"));
    copy_ = new QPushButton(QStringLiteral("Copy ID3v2"), this);
    copy_->setObjectName(QStringLiteral("cmdCopyTags"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(format);
    layout->addWidget(buildFrame(0, QStringLiteral("ID3V1:")));
    layout->addWidget(buildFrame(1, QStringLiteral("ID3V2:")));
    layout->addWidget(buildFrame(2, QStringLiteral("WMA:")));
    layout->addLayout(buttons);

    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(save_, &QPushButton::clicked, this, &EditTagsWindow::saveClicked);
    connect(copy_, &QPushButton::clicked, this, [this] {
        takeTexts();
        model_.copy();
        showModel();
    });

    model_.load();
    showModel();
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QGroupBox* EditTagsWindow::buildFrame(int index, const QString& caption) {
    Frame& f = frames_[size_t(index)];
    f.box = new QGroupBox(caption, this);
    f.box->setObjectName(indexed("frameTagInfo", index));
    f.song = box(f.box, "txtSong", index);
    f.artist = box(f.box, "txtArtist", index);
    f.album = box(f.box, "txtAlbum", index);
    f.year = box(f.box, "txtYear", index);
    f.comments = box(f.box, "txtComments", index);
    auto* genre = new QComboBox(f.box);
    genre->setObjectName(indexed("cmbGenre", index));
    auto* form = new QFormLayout(f.box);
    form->addRow(QStringLiteral("Title:"), f.song);
    form->addRow(index == 2 ? QStringLiteral("Author:") : QStringLiteral("Artist:"), f.artist);
    form->addRow(QStringLiteral("Album:"), f.album);
    form->addRow(QStringLiteral("Year:"), f.year);
    form->addRow(QStringLiteral("Comments:"), f.comments);
    form->addRow(QStringLiteral("Genre:"), genre);
    return f.box;
}

void EditTagsWindow::takeTexts() {
    for (int i = 0; i < 3; ++i) {
        const Frame& f = frames_[size_t(i)];
        model_.boxes(View(i)) = {f.song->text(), f.artist->text(), f.album->text(), f.year->text(),
                                 f.comments->text()};
    }
}

void EditTagsWindow::showModel() {
    for (int i = 0; i < 3; ++i) {
        const Frame& f = frames_[size_t(i)];
        const tags::TagEditorModel::Boxes& b = model_.boxes(View(i));
        f.song->setText(b.title);
        f.artist->setText(b.artist);
        f.album->setText(b.album);
        f.year->setText(b.year);
        f.comments->setText(b.comments);
        f.box->setVisible(int(model_.view()) == i);
        options_[size_t(i)]->setEnabled(model_.optionEnabled(View(i)));
        options_[size_t(i)]->setChecked(int(model_.view()) == i);
    }
    save_->setEnabled(model_.saveEnabled());
    copy_->setEnabled(model_.copyEnabled());
    copy_->setText(model_.copyCaption());
}

void EditTagsWindow::chooseView(int index) {
    takeTexts();
    model_.switchView(View(index));
    showModel();
}

void EditTagsWindow::saveClicked() {
    takeTexts();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.save();
    QApplication::restoreOverrideCursor();
    accept();
}

// A press on the background, title strip or icon moves the frameless window.
void EditTagsWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) windowHandle()->startSystemMove();
}

}  // namespace vx::ui
