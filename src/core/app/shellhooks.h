#pragma once

#include <functional>

namespace vespira::app {

// What the main window offers the other windows and the search run: its busy indicator
// and its pause component. The main window fills these in when it is created; until then
// (and in tests without a main window) the calls do nothing.
struct ShellHooks
{
    std::function<void()> startBusyIndicator;   // GedultTimer on
    std::function<void()> stopBusyIndicator;    // GedultTimer off; the label keeps its text
    std::function<void()> clearBusyLabel;       // GeduldLabel emptied
    std::function<void(int)> pauseMs;           // MachPause1.PauseMs

    void startBusy() const { if (startBusyIndicator) startBusyIndicator(); }
    void stopBusy() const { if (stopBusyIndicator) stopBusyIndicator(); }
    void clearBusy() const { if (clearBusyLabel) clearBusyLabel(); }
    void pause(int ms) const { if (pauseMs) pauseMs(ms); }
};

} // namespace vespira::app
