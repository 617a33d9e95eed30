#pragma once

#include <memory>

namespace vespira::cli {

// While it lives, Ctrl+C and a plain kill (SIGINT, SIGTERM) only raise a flag, so a long
// command stops at its next safe point and cleans up instead of leaving temporary files.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

    static bool interrupted();

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

} // namespace vespira::cli
