#include "playlist/playlist_search.h"

#include "tags/text_rules.h"

namespace vx::playlist {

bool PlaylistSearch::matches(int i, const QString& text) const {
    return playlist_.line(i).contains(text, Qt::CaseInsensitive);
}

bool PlaylistSearch::finish(bool hit) {
    found_ = hit;
    if (hit) {
        playlist_.select(index_);
    } else {
        dialogs_.message(QStringLiteral("Can't find the song"), QString(), Dialogs::Icon::Exclamation,
                         Dialogs::Buttons::Ok);
    }
    return hit;
}

bool PlaylistSearch::findFirst(const QString& rawText) {
    const QString text = tags::trimBlanks(rawText);
    if (text.isEmpty()) return false;
    found_ = false;
    const int last = playlist_.count() - 1;
    for (index_ = 0; index_ <= last; ++index_) {
        if (matches(index_, text)) return finish(true);
    }
    return finish(false);
}

bool PlaylistSearch::findNext(const QString& rawText) {
    const QString text = tags::trimBlanks(rawText);
    if (text.isEmpty()) return false;
    found_ = false;
    const int last = playlist_.count() - 1;
    if (index_ >= last) index_ = -1;
    for (++index_; index_ <= last; ++index_) {
        if (matches(index_, text)) return finish(true);
    }
    return finish(false);
}

bool PlaylistSearch::findPrevious(const QString& rawText) {
    const QString text = tags::trimBlanks(rawText);
    if (text.isEmpty()) return false;
    found_ = false;
    const int last = playlist_.count() - 1;
    if (index_ < 0) index_ = last + 1;
    for (--index_; index_ >= 0; --index_) {
        if (matches(index_, text)) return finish(true);
    }
    return finish(false);
}

}  // namespace vx::playlist
