#pragma once

#include <QString>

namespace vespira::platform {

// The four message boxes. Tests read the text shown and script the answer; the real
// implementation uses QMessageBox captioned with the application title.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual void information(const QString &text) = 0;
    virtual void warning(const QString &text) = 0;
    virtual void error(const QString &text) = 0;
    [[nodiscard]] virtual bool confirm(const QString &text) = 0; // true = Yes
};

} // namespace vespira::platform
