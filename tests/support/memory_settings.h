#pragma once

#include <QMap>

#include "services/settings_store.h"

namespace vx::test {

// Settings kept in memory, names compared without regard to case like the real store.
class MemorySettings : public SettingsStore {
public:
    QString read(const QString& name) const override {
        return values.value(name.toLower(), kSettingNotFound);
    }
    void write(const QString& name, const QString& value) override { values[name.toLower()] = value; }

    QMap<QString, QString> values;  // keys lower-case
};

}  // namespace vx::test
