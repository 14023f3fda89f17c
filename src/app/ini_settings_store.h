#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "app/file_system.h"
#include "app/settings_store.h"

namespace vx {

// The settings as a small INI file: one "[Velumix]" section of `name=value` lines, UTF-8, values escaped
// (\\, \n, \r) so any text survives. Names are compared without regard to case; a name keeps the spelling
// it was first stored with. Every write rewrites the file atomically (writeFileAtomically): a failed write
// leaves the old file, and the value in memory, untouched. No failure is reported.
class IniSettingsStore : public SettingsStore {
  public:
    // Longest value read() answers, in UTF-8 bytes: what fits a 2048-byte buffer with its end mark.
    static constexpr int kMaxValueBytes = 2047;

    // Reads `filePath` once; a missing or unreadable file holds no settings.
    explicit IniSettingsStore(QString filePath, FileSystem& fs = PosixFileSystem::instance());

    QString read(const QString& name) const override;
    void write(const QString& name, const QString& value) override;

    const QString& filePath() const { return filePath_; }

  private:
    using Entry = std::pair<QString, QString>;
    std::vector<Entry>::iterator find(const QString& name);
    bool save(const std::vector<Entry>& entries) const;

    QString filePath_;
    FileSystem& fs_;
    std::vector<Entry> entries_;
};

}  // namespace vx
