#pragma once

#include "core/app/context.h"
#include "support/fakes.h"
#include "support/tempdir.h"

namespace vespira::test {

// Fake services, in-memory settings and a temporary program folder, bundled for window tests.
struct TestContext
{
    TestContext()
        : context {platform::Services {dialogs, shell, clipboard, settings, system}}
    {
        context.state.programFolder = folder.path();
    }

    ScriptedDialogs dialogs;
    FakeShell shell;
    FakeClipboard clipboard;
    MemorySettings settings;
    FakeSystem system;
    TempProgramFolder folder;
    app::Context context;
};

} // namespace vespira::test
