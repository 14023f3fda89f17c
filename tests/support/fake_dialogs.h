#pragma once

#include <deque>
#include <vector>

#include "services/dialogs.h"

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
};

}  // namespace vx::test
