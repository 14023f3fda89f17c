#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

// Every message box and file dialog of the program goes through this interface, so that the core never
// opens a window itself and tests can script the answers and read the exact texts.
class Dialogs {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileRequest {
        QString title;
        QString filter;   // Qt syntax: "Music files (*.mp3 *.wav);;All files (*)"
        QString initDir;
        QString fileName;  // proposed name
    };

    virtual ~Dialogs() = default;

    // A modal message box. An empty title means the application's title.
    virtual Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;
    // File pickers; nullopt when the user cancels.
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QStringList> openFiles(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
};

}  // namespace vx
