#pragma once

#include "core/platform/system.h"

namespace vespira::platform {

class QtSystem final : public System
{
public:
    int screenWidth() const override;
    bool isAdministrator() const override;
    bool windowClassExists(const QString &windowClass) const override;
    QStringList installedBrowsers() const override;
};

// The Name= of every desktop entry in the folders whose Categories contain WebBrowser.
QStringList scanBrowserEntries(const QStringList &folders);

} // namespace vespira::platform
