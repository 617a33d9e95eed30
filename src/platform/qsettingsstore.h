#pragma once

#include "core/platform/settingsstore.h"

namespace vespira::platform {

// The settings store on QSettings in native format, organisation "Korvane", application
// "Vespira-HTML-LIGHT" (~/.config/Korvane/Vespira-HTML-LIGHT.conf on Linux).
class QSettingsStore final : public SettingsStore
{
public:
    QString read(const QString &name) const override;
    void write(const QString &name, const QString &value) override;
    void remove(const QString &name) override;
};

} // namespace vespira::platform
