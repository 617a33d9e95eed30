#pragma once

#include "core/platform/clipboard.h"
#include "core/platform/dialogs.h"
#include "core/platform/settingsstore.h"
#include "core/platform/shell.h"
#include "core/platform/system.h"

namespace vespira::platform {

// The platform services a window or command works with; real ones in the program,
// fakes in tests.
struct Services
{
    Dialogs &dialogs;
    Shell &shell;
    Clipboard &clipboard;
    SettingsStore &settings;
    System &system;
};

} // namespace vespira::platform
