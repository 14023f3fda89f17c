#include "support/fakes.h"

namespace vx::test {

namespace {
template <typename T>
T takeFront(std::deque<T>& queue, T fallback) {
    if (!queue.empty()) {
        fallback = std::move(queue.front());
        queue.pop_front();
    }
    return fallback;
}
}  // namespace

Dialogs::Answer FakeDialogs::message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    shown.push_back({text, title, icon, buttons});
    const Answer fallback = buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    return takeFront(answers, fallback);
}

std::optional<QString> FakeDialogs::openFile(const FileRequest& request) {
    fileRequests.push_back(request);
    return takeFront<std::optional<QString>>(openAnswers, std::nullopt);
}

std::optional<QStringList> FakeDialogs::openFiles(const FileRequest& request) {
    fileRequests.push_back(request);
    return takeFront<std::optional<QStringList>>(openManyAnswers, std::nullopt);
}

std::optional<QString> FakeDialogs::saveFile(const FileRequest& request) {
    fileRequests.push_back(request);
    return takeFront<std::optional<QString>>(saveAnswers, std::nullopt);
}

QStringList FakeDialogs::texts() const {
    QStringList all;
    for (const Shown& s : shown) all << s.text;
    return all;
}

QStringList FakeDialogs::titles() const {
    QStringList all;
    for (const Shown& s : shown) all << s.title;
    return all;
}

}  // namespace vx::test
