#pragma once

#include <QElapsedTimer>

namespace vespira::gui {

// Lets pending events through during long work on the UI thread: on the first call, then
// at most every 25 ms, so a click queued before the run gets through and tight loops stay fast.
class EventPump
{
public:
    void operator()();

private:
    QElapsedTimer m_clock; // invalid until the first pump
};

} // namespace vespira::gui
