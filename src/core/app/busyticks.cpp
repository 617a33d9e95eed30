#include "core/app/busyticks.h"

#include <QStringList>

namespace vespira::app {

QString BusyTicks::tick()
{
    ++m_counter;
    if (m_counter >= 6) {
        m_counter = 0;
        return {};
    }
    QStringList signs;
    for (int i = 0; i < m_counter; ++i)
        signs << QString(u'°');
    return signs.join(u' ');
}

} // namespace vespira::app
