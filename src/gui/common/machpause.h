#pragma once

#include <QObject>

#include <QList>

class QEventLoop;
class QTimer;

namespace vespira::gui {

// TMachPause: waits a number of milliseconds while the program keeps handling input and
// painting, so a label set just before a long step is painted before that step starts.
// The wait runs a local event loop ended by the component's timer, so it does not keep
// a processor busy. A pause started while another one on the same component waits
// shares its timer: both end at the same tick.
class TMachPause final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
public:
    explicit TMachPause(QObject *parent = nullptr);
    ~TMachPause() override;

    int Interval() const { return m_interval; }
    void setInterval(int milliseconds);

    // Waits for the next tick of the timer.
    void Pause();
    // Makes the value the interval when it differs (or is negative), then waits.
    void PauseMs(int milliseconds);

private:
    void tick();

    QTimer *m_timer;
    int m_interval = 1000;
    QList<QEventLoop *> m_waiting;
};

} // namespace vespira::gui
