#pragma once

// What the commands share on the console: Ctrl+C, and a progress bar on standard error.

#include <QElapsedTimer>
#include <QString>

#include <signal.h>

namespace vespira::cli {

// While it lives, Ctrl+C and a plain kill (SIGINT, SIGTERM) do not end the process: they
// are noted, the command's work stops at its next safe point (interrupted() tells), cleans
// up and the command ends with ExitInterrupted. One guard at a time.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

    static bool interrupted();

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

// A one-line bar on standard error, "[#####-----] caption", redrawn at most every 100 ms
// and only when standard error is a terminal. Elsewhere, when plainIntervalMs is given,
// the plain caption is written as a line of its own at most that often, so a log shows
// that the work goes on.
class ProgressBar
{
public:
    explicit ProgressBar(int plainIntervalMs = 0);
    ~ProgressBar() { clear(); }
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // force draws even when the last drawing was a moment ago. plainCaption is the line for
    // a log; the caption when empty.
    void show(qint64 position, qint64 maximum, const QString &caption, bool force = false,
              const QString &plainCaption = {});
    // Leaves the bar's last state on its own line.
    void finish();
    // Erases the bar, so a message can take its line.
    void clear();

private:
    bool m_terminal;
    int m_plainIntervalMs;
    bool m_drawn = false;
    QElapsedTimer m_clock; // invalid until the first drawing
};

} // namespace vespira::cli
