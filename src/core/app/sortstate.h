#pragma once

namespace vespira::app {

// Flags of the sorted-list builder and its commands.
struct SortState
{
    bool sorting = false;
    bool sortCancel = false;
    bool viewClosedBySort = false; // a sort build closed the view's file since the last search
    int timerTicks = 0;            // ticks of the sort panel's timer since start; never reset
};

} // namespace vespira::app
