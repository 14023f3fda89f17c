#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include "services/file_system.h"
#include "services/settings_store.h"

namespace vx {

// The settings as a small INI file of `name=value` lines, UTF-8, values escaped (\\, \n, \r) so any text
// survives. The program's values are those before the first section and in the "[Velumix]" section; names
// are compared without regard to case and, when repeated, the last line counts.
//
// The store keeps what it does not own: the file's bytes are held as read, and a write changes only the
// value bytes of the line that counts (a new name is added to the end of the program's section, made if
// missing), so comments, other sections, lines without "=", repeated names, line endings and the exact bytes
// of every other value (text that is not UTF-8, values longer than read() answers) stay as they were.
// Writing back what read() answered is no change and writes nothing.
//
// Every write rewrites the file atomically (writeFileAtomically): a failed write leaves the old file, and
// the value in memory, untouched. No failure is reported. A file that exists but is not a regular file, is
// larger than kMaxFileBytes or cannot be read holds no settings, and is never written: it is not ours to
// replace. A write that would make the file larger than kMaxFileBytes fails the same way.
class IniSettingsStore : public SettingsStore {
  public:
    // Longest value read() answers, in UTF-8 bytes: what fits a 2048-byte buffer with its end mark.
    static constexpr int kMaxValueBytes = 2047;
    static constexpr qint64 kMaxFileBytes = 1 << 20;

    // Reads `filePath` once.
    explicit IniSettingsStore(QString filePath, FileSystem& fs = PosixFileSystem::instance());

    QString read(const QString& name) const override;
    void write(const QString& name, const QString& value) override;

    const QString& filePath() const { return filePath_; }

  private:
    // Where a value's bytes lie in text_.
    struct Span {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    // Finds the program's values in `text` and where a new one goes.
    void index(const QByteArray& text);
    bool save(const QByteArray& text) const;

    QString filePath_;
    FileSystem& fs_;
    bool writable_ = true;
    QByteArray text_;
    QHash<QString, Span> values_;  // by case-folded name
    qsizetype insertAt_ = -1;      // after the last line of the program's section; -1: no section yet
};

}  // namespace vx
