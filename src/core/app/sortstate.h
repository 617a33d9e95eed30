#pragma once

#include "core/common/progress.h"

namespace vespira::app {

// Flags of the sorted-list builder and its commands.
struct SortState
{
    bool sorting = false;
    CancelToken sortCancel;        // requested by the cancel buttons; cleared by the panel
    bool viewClosedBySort = false; // a sort build closed the view's file since the last search
    int timerTicks = 0;            // ticks of the sort panel's timer since start; never reset
};

} // namespace vespira::app
