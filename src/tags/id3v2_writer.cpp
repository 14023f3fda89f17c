#include "tags/id3v2_writer.h"

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <QFile>

namespace vx::tags {

namespace {
TagLib::String toTagLib(const QString& s) {
    return TagLib::String(s.toStdWString());
}

// Year as typed, in the version 2.3 frame, so that any text the user types is kept as it is.
void setYear(TagLib::ID3v2::Tag& tag, const QString& year) {
    tag.removeFrames("TDRC");
    tag.removeFrames("TYER");
    if (year.isEmpty()) return;
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame("TYER", TagLib::String::Latin1);
    frame->setText(toTagLib(year));
    tag.addFrame(frame);
}

// TagLib reads a version 2.3 year frame back as the version 2.4 date frame.
QString yearOf(TagLib::ID3v2::Tag& tag) {
    for (const char* id : {"TDRC", "TYER"}) {
        const TagLib::ID3v2::FrameList& frames = tag.frameListMap()[id];
        if (!frames.isEmpty()) return QString::fromStdWString(frames.front()->toString().toWString());
    }
    return {};
}

QString fromTagLib(const TagLib::String& s) {
    return QString::fromStdWString(s.toWString());
}

// TagLib writes in place, so it is only ever given the copy.
QString save(const QString& copyPath, const Id3v2Texts& texts) {
    TagLib::MPEG::File file(QFile::encodeName(copyPath).constData(), false);
    if (!file.isValid()) return QStringLiteral("The file could not be read as MPEG audio.");
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag(true);
    // New frames start as Latin-1; TagLib writes a frame as UTF-16 when its text does not fit.
    tag.setTitle(toTagLib(texts.title));
    tag.setArtist(toTagLib(texts.artist));
    tag.setAlbum(toTagLib(texts.album));
    tag.setComment(toTagLib(texts.comment));
    setYear(tag, texts.year);
    if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                   TagLib::File::DoNotDuplicate)) {
        return QStringLiteral("The tag could not be written.");
    }
    return {};
}

// The copy as TagLib reads it back after saving: a file that no longer parses, or texts that did not
// arrive, must not replace the original.
QString verify(const QString& copyPath, const Id3v2Texts& texts) {
    TagLib::MPEG::File file(QFile::encodeName(copyPath).constData(), false);
    TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag(false) : nullptr;
    if (tag == nullptr || fromTagLib(tag->title()) != texts.title ||
        fromTagLib(tag->artist()) != texts.artist || fromTagLib(tag->album()) != texts.album ||
        fromTagLib(tag->comment()) != texts.comment || yearOf(*tag) != texts.year) {
        return QStringLiteral("The written tag did not read back as typed.");
    }
    return {};
}
}  // namespace

std::optional<FileError> writeId3v2Tag(const QString& path, const Id3v2Texts& texts, FileSystem& fs) {
    return editFileAtomically(
        path,
        [&texts](const QString& copyPath) {
            const QString error = save(copyPath, texts);
            return error.isEmpty() ? verify(copyPath, texts) : error;
        },
        fs);
}

}  // namespace vx::tags
