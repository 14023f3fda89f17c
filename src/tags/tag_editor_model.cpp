#include "tags/tag_editor_model.h"

#include "tags/id3v1.h"
#include "tags/id3v2_writer.h"
#include "tags/mp3_info.h"
#include "tags/tag_reader.h"
#include "tags/text_rules.h"

namespace vx::tags {

TagEditorModel::TagEditorModel(const QString& path, Dialogs& dialogs) : path_(path), dialogs_(dialogs) {}

void TagEditorModel::load() {
    isWma_ = isWindowsMediaFile(path_);
    switchView(isWma_ ? View::Wma : View::Id3v2);
}

bool TagEditorModel::optionEnabled(View v) const {
    return view_ == View::Wma ? v == View::Wma : v != View::Wma;
}

QString TagEditorModel::copyCaption() const {
    return view_ == View::Id3v2 ? QStringLiteral("Copy ID3v1") : QStringLiteral("Copy ID3v2");
}

void TagEditorModel::switchView(View view) {
    view_ = view;
    switch (view) {
        case View::Wma:
            showWma();
            break;
        case View::Id3v2:
            showId3v2();
            break;
        case View::Id3v1:
            showId3v1();
            break;
    }
}

void TagEditorModel::showWma() {
    const FileTags tags = readFileTags(path_);
    if (!tags.wma) return;
    Boxes b;
    for (const WmaEntry& e : *tags.wma) {
        const QString key = e.key.trimmed().toUpper();
        if (key == u"TITLE") b.title = e.value;
        if (key == u"AUTHOR") b.artist = e.value;
        if (key == u"WM/ALBUMTITLE") b.album = e.value;
        if (key == u"WM/YEAR") b.year = e.value;
        if (key == u"DESCRIPTION") b.comments = e.value;
    }
    boxes(View::Wma) = b;
}

void TagEditorModel::showId3v2() {
    if (const auto f = readId3v2(path_)) {
        boxes(View::Id3v2) = {removeNulls(f->title), removeNulls(f->artist), removeNulls(f->album),
                              removeNulls(f->year), removeNulls(f->comment)};
    }
}

void TagEditorModel::showId3v1() {
    Mp3Info info;
    info.setFilename(path_);
    if (info.isFileID3v1()) {
        boxes(View::Id3v1) = {info.title(), info.artist(), info.album(), info.year(), info.comment()};
    }
}

void TagEditorModel::copy() {
    if (view_ == View::Wma) return;
    const Boxes& from = boxes(view_ == View::Id3v2 ? View::Id3v1 : View::Id3v2);
    Boxes& to = boxes(view_);
    const auto take = [](QString& target, const QString& source) {
        if (!trimBlanks(source).isEmpty()) target = source;
    };
    take(to.title, from.title);
    take(to.artist, from.artist);
    take(to.album, from.album);
    take(to.year, from.year);
    take(to.comments, from.comments);
}

void TagEditorModel::save() {
    if (view_ == View::Id3v1) {
        const Boxes& b = boxes(View::Id3v1);
        Id3v1Block block;
        block.title = b.title.left(30);
        block.artist = b.artist.left(30);
        block.album = b.album.left(30);
        block.year = b.year.left(4);
        block.comment = b.comments.left(30);
        reportFailure(writeId3v1Tag(path_, block));
    } else if (view_ == View::Id3v2) {
        const Boxes& b = boxes(View::Id3v2);
        reportFailure(writeId3v2Tag(path_, {removeNulls(b.title), removeNulls(b.artist), removeNulls(b.album),
                                            removeNulls(b.year), removeNulls(b.comments)}));
    }
}

// Both tag kinds: the typed texts would otherwise vanish without a word when the editor closes.
void TagEditorModel::reportFailure(const std::optional<FileError>& failure) {
    if (!failure) return;
    dialogs_.message(
        QStringLiteral("Cannot Save the information. Please make sure that the file is not read-only."),
        failure->text, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

}  // namespace vx::tags
