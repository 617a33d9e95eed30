#include "cli/interrupt.h"

#include <csignal>

#include <signal.h>

namespace vespira::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onSignal(int)
{
    g_interrupted = 1;
}

} // namespace

struct InterruptGuard::Saved
{
    struct sigaction interrupt {};
    struct sigaction terminate {};
};

InterruptGuard::InterruptGuard()
    : m_saved(std::make_unique<Saved>())
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_saved->interrupt);
    sigaction(SIGTERM, &action, &m_saved->terminate);
    g_interrupted = 0;
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &m_saved->interrupt, nullptr);
    sigaction(SIGTERM, &m_saved->terminate, nullptr);
}

bool InterruptGuard::interrupted()
{
    return g_interrupted != 0;
}

} // namespace vespira::cli
