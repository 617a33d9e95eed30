#pragma once

namespace vespira::app {

// Flags of the sorted-list builder and its commands.
struct SortState
{
    bool sorting = false;
    bool sortCancel = false;
    bool viewClosedBySort = false; // a sort build closed the view's file since the last search
};

} // namespace vespira::app
