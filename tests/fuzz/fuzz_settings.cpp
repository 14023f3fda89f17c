// Parses a settings file of arbitrary bytes, reads a few names, then changes one and adds one, so the
// rewrite that keeps every foreign byte runs on the same text; the file read again holds both values.
#include <cstddef>
#include <cstdint>

#include "fuzz_file.h"
#include "services/ini_settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vx::fuzz::UnsyncedFileSystem fs;
    const QString path = vx::fuzz::writeInput("Velumix.ini", data, size);
    const QString changed = QStringLiteral("x\\y\nz\r");
    {
        vx::IniSettingsStore store(path, fs);
        for (const char* name : {"Last Playlist", "a", "", "VELUMIX"}) store.read(QString::fromLatin1(name));
        store.write(QStringLiteral("a"), changed);
        store.write(QStringLiteral("New Name"), QStringLiteral("1"));
    }
    // Inputs stay far below the store's size limit, so both writes must have landed.
    const vx::IniSettingsStore again(path, fs);
    if (again.read(QStringLiteral("A")) != changed ||
        again.read(QStringLiteral("new name")) != QStringLiteral("1")) {
        __builtin_trap();
    }
    return 0;
}
