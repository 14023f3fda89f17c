#pragma once

#include <QHash>
#include <QString>
#include <mutex>

#include "tags/tag_texts.h"

namespace vx::tags {

// Tag texts kept per file, valid while the file keeps its size and modification time, so that sorting and
// reshuffling a long list does not read every file again. Thread-safe; files are read outside the lock.
class TagTextCache {
  public:
    // The texts of the file: from the cache when the file has not changed, else read afresh and kept.
    TagTexts texts(const QString& path);
    // The cached texts if the file is unchanged since they were read; nothing otherwise. Never reads tags.
    std::optional<TagTexts> cached(const QString& path);
    void forget(const QString& path);
    void clear();
    qsizetype size() const;

  private:
    struct Stamp {
        qint64 size = -1;
        qint64 mtimeNs = -1;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        Stamp stamp;
        TagTexts texts;
    };
    static Stamp stampOf(const QString& path);

    mutable std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

}  // namespace vx::tags
