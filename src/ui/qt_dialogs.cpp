#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace vx {

namespace {
QMessageBox::Icon toQt(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::Ok:
            return QMessageBox::Ok;
        case Dialogs::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Dialogs::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Dialogs::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Messages break lines the way text files on other systems do ("\r\n", a lone "\r").
QString displayText(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

QString startPath(const Dialogs::FileRequest& request) {
    if (request.fileName.isEmpty()) return request.initDir;
    if (request.initDir.isEmpty()) return request.fileName;
    return QDir(request.initDir).filePath(request.fileName);
}
}  // namespace

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
    QMessageBox box(toQt(icon), caption, displayText(text), toQt(buttons), parent_);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request) {
    const QString file =
        QFileDialog::getOpenFileName(parent_, request.title, startPath(request), request.filter);
    if (file.isEmpty()) return std::nullopt;
    return file;
}

std::optional<QStringList> QtDialogs::openFiles(const FileRequest& request) {
    const QStringList files =
        QFileDialog::getOpenFileNames(parent_, request.title, startPath(request), request.filter);
    if (files.isEmpty()) return std::nullopt;
    return files;
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request) {
    const QString file =
        QFileDialog::getSaveFileName(parent_, request.title, startPath(request), request.filter);
    if (file.isEmpty()) return std::nullopt;
    return file;
}

}  // namespace vx
