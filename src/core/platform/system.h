#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vespira::platform {

// An installed web browser as its desktop entry describes it.
struct BrowserEntry
{
    QString name; // Name=
    QString icon; // Icon=: an icon theme name or an absolute file; may be empty
};

// Facts about the machine and the session the program asks for.
class System
{
public:
    virtual ~System() = default;
    // The primary screen's width in pixels.
    [[nodiscard]] virtual int screenWidth() const = 0;
    // Whether the process runs with administrator rights (effective user id 0).
    [[nodiscard]] virtual bool isAdministrator() const = 0;
    // Whether a window of the class exists: a local socket of that name accepts a connection.
    [[nodiscard]] virtual bool windowClassExists(const QString &windowClass) const = 0;
    // The installed web browsers (desktop entries in the category WebBrowser).
    [[nodiscard]] virtual QList<BrowserEntry> installedBrowsers() const = 0;
};

} // namespace vespira::platform
