#pragma once

#include <QtGlobal>

#include <functional>

namespace vespira {

// Called between steps of long work (per block, never per byte). The window's version
// lets pending events through, a test's version counts calls or stops after N.
// Returning false asks the work to stop at its next safe point.
using ProgressFn = std::function<bool(qint64 done, qint64 total)>;

inline ProgressFn noProgress()
{
    return [](qint64, qint64) { return true; };
}

} // namespace vespira
