#pragma once

#include <QMap>

#include "services/dialogs.h"
#include "services/settings_store.h"

namespace vx::bench {

// Answers every question with Ok and cancels every file dialog; the benchmarks ask none.
class QuietDialogs : public Dialogs {
public:
    Answer message(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> openFiles(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
};

// Settings that live only as long as the benchmark: names compared without regard to case.
class MemoryStore : public SettingsStore {
public:
    QString read(const QString& name) const override { return values_.value(name.toLower(), kSettingNotFound); }
    void write(const QString& name, const QString& value) override { values_[name.toLower()] = value; }

private:
    QMap<QString, QString> values_;
};

}  // namespace vx::bench
