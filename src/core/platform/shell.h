#pragma once

#include <QString>
#include <QStringList>

namespace vespira::platform {

// Opening files and addresses, starting programs.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a file path or address with its associated program; false when that failed.
    virtual bool openUrl(const QString &pathOrAddress) = 0;
    // Starts a program detached with its arguments; false when it could not start.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // The first of the names that is an executable on PATH, or the empty text.
    [[nodiscard]] virtual QString findExecutable(const QStringList &names) const = 0;
};

} // namespace vespira::platform
