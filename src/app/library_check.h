#pragma once

#include <QString>

#include "audio/library_info.h"

namespace vx {

class Dialogs;

// Checks that the decoding and output libraries are present and are the versions the program was built
// with. Each failure shows a critical box titled with its code; false means the program must end.
// Missing Windows Media support is reported ("10X024F") and tolerated: such files then fail to open.
bool checkLibraries(const audio::LibraryInfo& info, Dialogs& dialogs);

}  // namespace vx
