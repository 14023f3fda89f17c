#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace vx {

class Dialogs;

// Which key each keyboard action answers to. The actions and their default keys are given by the
// dispatcher; the user's keys come from keys.conf, a text file of "action = key" lines ("#" starts a
// comment, "None" leaves an action without a key). An action the file does not name keeps its default.
class KeyMap {
  public:
    struct Binding {
        QString action;      // short, stable, lower-case: "left_bend_down"
        int defaultKey = 0;  // Qt key code of a US position (app/key_names.h)
        QString comment;     // what the action does, written beside it in a new file
    };
    // A line of keys.conf that was ignored, numbered from 1.
    struct BadLine {
        int number = 0;
        QString reason;
    };

    explicit KeyMap(std::vector<Binding> bindings);

    int size() const { return static_cast<int>(bindings_.size()); }
    const QString& action(int index) const { return bindings_[index].action; }
    int key(int index) const { return keys_[index]; }
    int indexOf(const QString& action) const;  // -1 for an unknown action
    int keyOf(const QString& action) const;    // 0 when unknown or unbound

    // Applies the lines of a keys.conf over the current keys; the bad lines change nothing.
    std::vector<BadLine> parse(const QByteArray& text);
    // A keys.conf holding the current keys, one commented line per action.
    QByteArray format() const;
    void resetToDefaults();

  private:
    std::vector<Binding> bindings_;
    std::vector<int> keys_;
};

// Reads the key map from `path`. When there is no file, one with the defaults is written there first
// (its folder is made), so the user finds every action to edit. Bad lines, an unreadable file or a failed
// write are told once, in one message through `dialogs`; whatever could be read still applies.
void loadKeyMap(KeyMap& map, const QString& path, Dialogs& dialogs);

}  // namespace vx
