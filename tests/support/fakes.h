#pragma once

#include <QMap>
#include <deque>
#include <vector>

#include "audio/library_info.h"
#include "services/dialogs.h"
#include "services/settings_store.h"
#include "services/virtual_ticker.h"

namespace vx::test {

// Scripted dialogs: answers are taken from queues in order (Ok / cancel when a queue runs dry) and every
// message shown is kept for assertions.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QStringList>> openManyAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::vector<Shown> shown;
    std::vector<FileRequest> fileRequests;

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QStringList> openFiles(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;

    // The texts and the titles of the messages shown, in order.
    QStringList texts() const;
    QStringList titles() const;
};

// Settings kept in memory, names compared without regard to case like the real store.
class MemorySettings : public SettingsStore {
public:
    QString read(const QString& name) const override { return values.value(name.toLower(), kSettingNotFound); }
    void write(const QString& name, const QString& value) override { values[name.toLower()] = value; }

    QMap<QString, QString> values;  // keys lower-case
};

// Timers that never fire by themselves: a test fires them with fire() or advance().
using FakeTicker = VirtualTicker;

// Libraries as start-up wants them: present, with matching versions and Windows Media support.
inline audio::LibraryInfo goodLibraries() {
    audio::LibraryInfo info;
    info.ffmpegPresent = info.portaudioPresent = info.windowsMedia = true;
    info.ffmpegBuilt = info.ffmpegRuntime = "avformat 59.27.100";
    info.portaudioBuilt = info.portaudioRuntime = "19.6.0";
    return info;
}

}  // namespace vx::test
