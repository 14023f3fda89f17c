#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "services/atomic_file.h"

namespace vx {

// The five kinds of file the desktop may open with this program, in the order every operation takes
// them. MP3 and WMA are two choices on two types, as the dialog shows them.
enum class AssociationKind { Mp3, Wma, Asf, Wav, M3u };
inline constexpr int kAssociationKinds = 5;

struct AssociationType {
    AssociationKind kind;
    const char* extension;  // ".mp3"
    const char* checkBox;   // objectName of its box in the dialog
    const char* caption;    // the box's caption
    QStringList mimeTypes;  // every one must name our desktop file for the kind to count as ours
};
const std::array<AssociationType, kAssociationKinds>& associationTypes();

// The desktop file that names this program, and every type it can open.
inline constexpr const char* kDesktopFileName = "velumix.desktop";
QStringList openableMimeTypes();

// The desktop entry for `program` (a name looked up on PATH, or a full path): its Exec line passes the
// chosen files along ("%F"), and it declares `mimeTypes`. The installed data/velumix.desktop is this text
// for "velumix" and every openable type; the user's own copy declares only the types that are ours, since
// desktops fall back on a program that declares a type when the type has no default.
QByteArray desktopEntryText(const QString& program, const QStringList& mimeTypes);

// What the desktop entry should start: "velumix" when that name on PATH is the running program
// `applicationFile`, else its full path (a program run from its build folder).
QString desktopProgramFor(const QString& applicationFile);

// Where the user's choices live: <config>/mimeapps.list and <data>/applications/velumix.desktop.
struct DesktopPaths {
    QString mimeappsList;
    QString desktopFile;

    // XDG_CONFIG_HOME and XDG_DATA_HOME, or ~/.config and ~/.local/share.
    static DesktopPaths standard();
    static DesktopPaths under(const QString& configHome, const QString& dataHome);
};

// Start-up offers the dialog while the user wants it and fewer than two kinds are ours.
bool offerAssociationsAtStart(int optStartUp, int associatedCount);

// Which kinds the desktop opens with this program, and the change of that choice. A kind is ours when the
// user's mimeapps.list makes our desktop file the default of each of its types. Only our own entries are
// ever added or removed: another program's default or listing is never touched. UI thread only.
class DesktopAssociations {
  public:
    explicit DesktopAssociations(DesktopPaths paths, QString program = QStringLiteral("velumix"));

    // Reads the choice: one flag per kind, in table order, and the count of those that are ours. A
    // mimeapps.list that is missing or cannot be read makes every kind not ours.
    std::array<bool, kAssociationKinds> read();
    int associatedCount() const { return associatedCount_; }

    // One value per kind: 1 makes it ours, 0 takes our entries away, anything else leaves it. Writes the
    // desktop file (declaring the kinds that are ours afterwards), then mimeapps.list, each replaced whole or
    // not at all; a list that exists but cannot be read is left alone. The first failure is answered; what
    // was written before it stays.
    std::optional<FileError> update(const std::array<int, kAssociationKinds>& ticks);

    const DesktopPaths& paths() const { return paths_; }

  private:
    DesktopPaths paths_;
    QString program_;
    int associatedCount_ = 0;
};

}  // namespace vx
