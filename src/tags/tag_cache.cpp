#include "tags/tag_cache.h"

#include <sys/stat.h>

#include <QFile>

namespace vx::tags {

TagTextCache::Stamp TagTextCache::stampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

std::optional<TagTexts> TagTextCache::cached(const QString& path) {
    const Stamp stamp = stampOf(path);
    std::lock_guard lock(mutex_);
    const auto it = entries_.constFind(path);
    if (it != entries_.constEnd() && it->stamp == stamp) return it->texts;
    return std::nullopt;
}

TagTexts TagTextCache::texts(const QString& path) {
    const Stamp stamp = stampOf(path);
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.constFind(path);
        if (it != entries_.constEnd() && it->stamp == stamp) return it->texts;
    }
    TagTexts fresh = readTagTexts(path);
    std::lock_guard lock(mutex_);
    entries_.insert(path, Entry{stamp, fresh});
    return fresh;
}

void TagTextCache::forget(const QString& path) {
    std::lock_guard lock(mutex_);
    entries_.remove(path);
}

void TagTextCache::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

qsizetype TagTextCache::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace vx::tags
