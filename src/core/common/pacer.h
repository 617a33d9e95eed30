#pragma once

// Paces the progress calls of long work by time, not by input: the work calls step() at
// cheap points (a line, a word, a comparison of a sort), and once an interval of work has
// gone by the progress function runs. A window that pumps events there stays responsive
// whatever the shape of the input, one line of 20 MB as well as many short ones.
//
//   ProgressPacer pacer([&] { return report(position, total); });
//   for (const auto &word : words) {
//       if (!pacer.step())
//           return Cancelled;
//       add(word);
//   }
//
// Work that cannot return early (a sort) calls checkpoint(), which throws WorkCancelled.

#include <QElapsedTimer>

#include <functional>

namespace vespira {

// Thrown by ProgressPacer::checkpoint() once a report has asked to stop.
struct WorkCancelled
{
};

class ProgressPacer
{
public:
    // Half of the 100 ms a window may go without handling its events, so the work between
    // two clock readings fits in the other half.
    static constexpr int DefaultIntervalMs = 50;

    // report returns false to stop the work. intervalMs 0 reports at every clock reading.
    explicit ProgressPacer(std::function<bool()> report, int intervalMs = DefaultIntervalMs);

    // One small unit of work is done. Returns false once a report asked to stop.
    bool step()
    {
        if (++m_steps < StepsPerClockReading)
            return m_continue;
        m_steps = 0;
        if (m_clock.elapsed() < m_intervalMs)
            return m_continue;
        return report();
    }
    void checkpoint()
    {
        if (!step())
            throw WorkCancelled {};
    }

    // Reports now (a document boundary, the end of a piece) and starts the next interval.
    bool report();

private:
    // Reading the clock costs about as much as a short word; every few steps is enough.
    static constexpr int StepsPerClockReading = 16;

    std::function<bool()> m_report;
    int m_intervalMs;
    int m_steps = 0;
    bool m_continue = true;
    QElapsedTimer m_clock;
};

} // namespace vespira
