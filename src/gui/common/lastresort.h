#pragma once

#include "core/platform/dialogs.h"

#include <functional>

namespace vespira::gui {

// The last net under every handler, for the application's event delivery: an exception
// that got past a handler's own guard is shown in an error box instead of ending the
// program. A failure while that box is up (it runs an event loop of its own) is dropped
// rather than stacking a second box on it.
class LastResort
{
public:
    explicit LastResort(platform::Dialogs &dialogs)
        : m_dialogs {dialogs}
    {
    }

    // What deliver returns; false when it failed.
    bool deliver(const std::function<bool()> &deliver) noexcept;

private:
    void report(const QString &message) noexcept;

    platform::Dialogs &m_dialogs;
    bool m_reporting = false;
};

} // namespace vespira::gui
