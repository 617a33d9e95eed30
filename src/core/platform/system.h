#pragma once

#include <QString>
#include <QStringList>

namespace vespira::platform {

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
    // The names of the installed web browsers (Name= of their desktop entries).
    [[nodiscard]] virtual QStringList installedBrowsers() const = 0;
};

} // namespace vespira::platform
