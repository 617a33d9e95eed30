#pragma once

#include "core/platform/dialogs.h"

namespace vespira::platform {

// The four message boxes as QMessageBox, captioned with the application title.
class QtDialogs final : public Dialogs
{
public:
    void information(const QString &text) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    bool confirm(const QString &text) override;
};

} // namespace vespira::platform
