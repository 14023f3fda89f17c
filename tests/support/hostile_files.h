#pragma once

#include <QString>
#include <vector>

namespace vx::test {

// What a user's bad day may put where a small text file of ours belongs: things that are not regular files
// (opening or reading them could block or never end) and a link that cannot be resolved.
enum class Hostile { Fifo, LinkToDevZero, Folder, LinkLoop };

struct HostileKind {
    Hostile kind;
    const char* name;
};
const std::vector<HostileKind>& hostileKinds();

// Makes `path` (which must not exist; its folder must) into one of the above. False when it cannot.
bool makeHostile(Hostile kind, const QString& path);

}  // namespace vx::test
