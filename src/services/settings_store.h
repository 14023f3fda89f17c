#pragma once

#include <QString>

namespace vx {

// The answer read() gives for a setting that is not stored (or cannot be read).
inline const QString kSettingNotFound = QStringLiteral("not found");

// Named text values under the program's key. Names are compared without regard to case.
// Failures are silent: a failed read answers kSettingNotFound, a failed write changes nothing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& name) const = 0;
    virtual void write(const QString& name, const QString& value) = 0;
};

}  // namespace vx
