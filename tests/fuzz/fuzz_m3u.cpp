// Feeds arbitrary bytes to the playlist parser, once against a folder and once against none.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "playlist/m3u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto contents = vx::playlist::parseM3uContents(bytes, "/music/\xE9t\xE9");
    for (const auto& entry : contents.entries) {
        if (entry.fileName.isEmpty()) __builtin_trap();  // a kept line always names a file
    }
    vx::playlist::parseM3u(bytes, QString());
    return 0;
}
