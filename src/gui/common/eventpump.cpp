#include "gui/common/eventpump.h"

#include <QCoreApplication>

namespace vespira::gui {

void EventPump::operator()()
{
    if (m_clock.isValid() && m_clock.elapsed() < 25)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    m_clock.start();
}

} // namespace vespira::gui
