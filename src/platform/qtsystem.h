#pragma once

#include "core/platform/system.h"

namespace vespira::platform {

class QtSystem final : public System
{
public:
    int screenWidth() const override;
    bool isAdministrator() const override;
    bool windowClassExists(const QString &windowClass) const override;
    QList<BrowserEntry> installedBrowsers() const override;
};

// The desktop entries in the folders whose Categories contain WebBrowser, once per name.
QList<BrowserEntry> scanBrowserEntries(const QStringList &folders);

} // namespace vespira::platform
