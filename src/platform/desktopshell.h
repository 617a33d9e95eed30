#pragma once

#include "core/platform/clipboard.h"
#include "core/platform/shell.h"

namespace vespira::platform {

class DesktopShell final : public Shell
{
public:
    bool openUrl(const QString &pathOrAddress) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    QString findExecutable(const QStringList &names) const override;
};

class QtClipboard final : public Clipboard
{
public:
    void setText(const QString &text) override;
    QString text() const override;
};

} // namespace vespira::platform
