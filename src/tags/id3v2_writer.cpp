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
}  // namespace

EditResult writeId3v2Tag(const QString& path, const Id3v2Texts& texts) {
    return editFileSafely(path, [&texts](const QString& copyPath) -> QString {
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
    });
}

}  // namespace vx::tags
