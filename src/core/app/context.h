#pragma once

#include "core/app/appstate.h"
#include "core/app/settings.h"
#include "core/platform/context.h"

namespace vespira::app {

// What every window and command works with: the platform services, the settings and
// the program-wide state. Created once by the program (or a test) and passed by reference.
struct Context
{
    explicit Context(platform::Services services_)
        : services {services_}
        , settings {services_.settings, services_.dialogs}
    {
    }

    platform::Services services;
    Settings settings;
    AppState state;
};

} // namespace vespira::app
