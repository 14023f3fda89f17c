#pragma once

#include <QString>
#include <array>
#include <optional>

#include "services/atomic_file.h"
#include "services/dialogs.h"

namespace vx::tags {

// The tag editor: one song's ID3v1 block, ID3v2 tag, or (read only) Windows Media tags, each in its own
// view of five text boxes. Only one view shows at a time; boxes of hidden views keep their texts.
class TagEditorModel {
  public:
    enum class View { Id3v1 = 0, Id3v2 = 1, Wma = 2 };
    struct Boxes {
        QString title;
        QString artist;
        QString album;
        QString year;
        QString comments;
    };

    TagEditorModel(const QString& path, Dialogs& dialogs);

    // Opens in the Windows Media view for WMA/ASF files, else in the ID3v2 view.
    void load();
    // The view choice (ID3ver): fills that view's boxes from the file and shows it.
    void switchView(View view);

    const QString& path() const { return path_; }
    View view() const { return view_; }
    Boxes& boxes(View v) { return boxes_[size_t(v)]; }
    const Boxes& boxes(View v) const { return boxes_[size_t(v)]; }
    bool optionEnabled(View v) const;
    bool saveEnabled() const { return view_ != View::Wma; }
    bool copyEnabled() const { return view_ != View::Wma; }
    QString copyCaption() const;

    // Copies the other ID3 view's non-blank boxes into the visible one. Nothing is written.
    void copy();
    // Writes the visible view to the file. A failed write (ID3v1 or ID3v2) is reported and leaves the file
    // as it was; either way the caller then rebuilds the playlist line and closes the editor.
    void save();

  private:
    void showWma();
    void showId3v2();
    void showId3v1();
    void reportFailure(const std::optional<FileError>& failure);

    QString path_;
    Dialogs& dialogs_;
    View view_ = View::Id3v2;
    bool isWma_ = false;
    std::array<Boxes, 3> boxes_;
};

}  // namespace vx::tags
