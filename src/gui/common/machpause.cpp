#include "gui/common/machpause.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace vespira::gui {

TMachPause::TMachPause(QObject *parent)
    : QObject {parent}
    , m_timer {new QTimer(this)}
{
    m_timer->setInterval(m_interval);
    connect(m_timer, &QTimer::timeout, this, &TMachPause::tick);
}

TMachPause::~TMachPause()
{
    // Waits still running (the component is deleted from a handler inside a pause) end now.
    for (QEventLoop *loop : std::as_const(m_waiting))
        loop->quit();
}

void TMachPause::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    // A negative interval would never tick and the wait would never end.
    m_timer->setInterval(std::max(0, milliseconds));
}

void TMachPause::PauseMs(int milliseconds)
{
    if (milliseconds < 0 || milliseconds != m_interval)
        setInterval(milliseconds);
    Pause();
}

void TMachPause::Pause()
{
    // A nested pause keeps the running timer, so it ends at the outer pause's tick.
    if (!m_timer->isActive())
        m_timer->start();
    QEventLoop loop;
    m_waiting.append(&loop);
    const QPointer<TMachPause> self(this);
    loop.exec();
    if (!self)
        return; // deleted by a handler that ran during the wait
    m_waiting.removeOne(&loop);
    if (m_waiting.isEmpty())
        m_timer->stop();
}

void TMachPause::tick()
{
    m_timer->stop();
    for (QEventLoop *loop : std::as_const(m_waiting))
        loop->quit();
}

} // namespace vespira::gui
