#pragma once

#include <QString>

namespace vespira::platform {

// The settings store: text values by name. Every call opens the store, does one thing
// and syncs, so another process sees a write at once. A missing value reads as "".
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    [[nodiscard]] virtual QString read(const QString &name) const = 0;
    // Throws vespira::Error when the store cannot be written.
    virtual void write(const QString &name, const QString &value) = 0;
    virtual void remove(const QString &name) = 0;
};

} // namespace vespira::platform
