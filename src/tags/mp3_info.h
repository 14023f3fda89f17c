#pragma once

#include <QString>

namespace vx::tags {

// Title, artist, album, comment, year and genre, in the order the file-name guesser returns them.
struct GuessedFields {
    QString title;
    QString artist;
    QString album;
    QString comment;
    QString year;
    QString genre;
};

// Guesses title, artist and album from a file's name and, when the name alone gives no title, from the
// folders above it. Both '/' and '\' separate folders. Pieces keep their blanks; callers trim.
GuessedFields parseFileName(const QString& path);

// The six ID3v1 fields of one MPEG audio file: from its ID3v1 block, or guessed from its name when it has
// none. All work happens in setFilename(); the getters trim blanks.
class Mp3Info {
  public:
    void setFilename(const QString& path);
    QString filename() const { return filename_; }
    // True when the path names an existing file whose path contains ".mp3", ".mp2" or ".mp1" (any case);
    // it does not tell whether the file has an ID3v1 block.
    bool isFileID3v1() const { return isFileID3v1_; }

    QString title() const;
    QString artist() const;
    QString album() const;
    QString year() const;
    QString comment() const;
    QString genre() const;

  private:
    QString filename_;
    bool isFileID3v1_ = false;
    GuessedFields fields_;
};

}  // namespace vx::tags
