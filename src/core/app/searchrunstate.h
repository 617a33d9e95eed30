#pragma once

#include "core/common/progress.h"

#include <QString>

namespace vespira::app {

// Flags of the search run, read by the cancel button, the page writer and the view.
struct SearchRunState
{
    bool cancellable = false;
    // Requested by the cancel button while the run is cancellable; the scan, the page
    // writer and the run check it. The run clears it at its end.
    CancelToken cancel;
    bool noResult = false;
    // Kind-hit flags: true at start; a processed match clears the flag of its kind when
    // that kind is the view's active kind. A search-text list is saved only when clear.
    bool utf8ListFlag = true;
    bool mhtListFlag = true;
    QString documentMarker;        // "#" + drive letter + ":\"
    QString replacementDrive;      // the drive letter, or empty
    int resultPageNumber = 1;      // 1 = first page; reset to 0 after the first page
    bool morePages = false;
};

} // namespace vespira::app
