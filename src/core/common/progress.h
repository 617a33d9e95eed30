#pragma once

// How long work on the user-interface thread reports how far it got and learns that it
// should stop. The work calls Progress::step(done, total) between steps (a window of a
// scan, a line of a page, a piece of a list: never per byte) and stops at that safe point
// when step returns false. What happens in a report is the caller's: the window lets
// pending events through (so a click on "Abbrechen" reaches the CancelToken), the command
// line draws its bar, a test counts calls or cancels after N.
//
//   CancelToken cancel;                                        // CancelBtn: cancel.request()
//   Progress progress([&](qint64, qint64) { pump(); }, &cancel);
//   while (more) {
//       work();
//       if (!progress.step(position, size))
//           return Outcome::Cancelled;                         // what was done stays valid
//   }

#include <QtGlobal>

#include <functional>

namespace vespira {

// The one way to ask long work to stop. Whoever owns the work hands it a token; the cancel
// button requests it, the work checks it at its safe points. Requests are sticky until
// clear(), so a request that comes between two runs is not lost on the second.
class CancelToken
{
public:
    void request() { m_requested = true; }
    void clear() { m_requested = false; }
    bool isRequested() const { return m_requested; }

private:
    bool m_requested = false;
};

// Reports progress to the caller and answers whether to go on. A default-constructed one
// reports nowhere and never stops; copies share the callback and the token.
class Progress
{
public:
    using Report = std::function<void(qint64 done, qint64 total)>;

    Progress() = default;
    explicit Progress(Report report, const CancelToken *cancel = nullptr)
        : m_report {std::move(report)}
        , m_cancel {cancel}
    {
    }

    // Tells how far the work got, then whether it should go on (false: stop now).
    bool step(qint64 done, qint64 total) const
    {
        if (m_report)
            m_report(done, total);
        return !stopRequested();
    }

    // Whether the token was requested, without reporting.
    bool stopRequested() const { return m_cancel && m_cancel->isRequested(); }

private:
    Report m_report;
    const CancelToken *m_cancel = nullptr;
};

} // namespace vespira
