#pragma once

#include <QString>

namespace vx {

// The manual's keyboard table, made from the key table the console uses: one row per action with its
// default key and modifiers, what it does and its name in keys.conf. `velumix --print-keymap` prints it,
// and the manual carries it between the markers below, so the two cannot disagree.
QString keyTableHtml();

inline constexpr char kKeyTableBegin[] = "<!-- key table: velumix --print-keymap -->";
inline constexpr char kKeyTableEnd[] = "<!-- end of key table -->";

}  // namespace vx
