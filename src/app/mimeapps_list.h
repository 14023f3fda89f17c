#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vx {

// A mimeapps.list (the desktop's choice of programs per file type), edited line by line so that every
// line the edits do not name stays byte for byte: comments, blank lines, other groups, other programs'
// entries, the order of lines and a missing final newline. A value is a list of desktop file names
// separated by ";" ("audio/mpeg=a.desktop;b.desktop;"); the first is the type's default.
class MimeAppsList {
  public:
    static constexpr const char* kDefaultGroup = "Default Applications";
    static constexpr const char* kAddedGroup = "Added Associations";

    explicit MimeAppsList(const QByteArray& text = {});
    QByteArray text() const;

    // The desktop files listed for `mimeType` in `group` (the first line of that key counts), in order.
    QStringList entries(const QString& group, const QString& mimeType) const;
    // `desktopFile` becomes the first entry for `mimeType` in `group`; the group and key are added at the
    // group's end (or the file's end) when missing, and the other entries keep their order.
    void putFirst(const QString& group, const QString& mimeType, const QString& desktopFile);
    // `desktopFile` leaves every line of `mimeType` in `group`; a line left without entries goes, a line
    // that keeps other entries stays with them.
    void remove(const QString& group, const QString& mimeType, const QString& desktopFile);

  private:
    struct Range {
        int header = -1;  // the group's header line, -1 when the group is missing
        int end = 0;      // one past the group's last line
    };
    Range findGroup(const QString& group) const;
    // Lines of `range` whose key is `mimeType`.
    std::vector<int> keyLines(const Range& range, const QString& mimeType) const;
    void setEntries(int line, const QStringList& entries);

    std::vector<QByteArray> lines_;  // without their '\n'; a CRLF file keeps its '\r'
    bool finalNewline_ = false;
};

}  // namespace vx
