#include "core/common/pacer.h"

namespace vespira {

ProgressPacer::ProgressPacer(std::function<bool()> report, int intervalMs)
    : m_report {std::move(report)}
    , m_intervalMs {intervalMs < 0 ? 0 : intervalMs}
{
    m_clock.start();
}

bool ProgressPacer::report()
{
    m_steps = 0;
    if (m_continue && m_report && !m_report())
        m_continue = false;
    m_clock.restart();
    return m_continue;
}

} // namespace vespira
