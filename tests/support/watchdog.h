#pragma once

// Ends the test program when a piece of work does not finish in time: a test of a loop that
// may hang would otherwise stall the whole suite until the runner's own limit.
//
//   test::Watchdog watchdog(std::chrono::seconds(30), "the scan");
//   scan();   // the watchdog is content once it goes out of scope

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace vespira::test {

class Watchdog
{
public:
    Watchdog(std::chrono::seconds limit, const char *what)
        : m_thread([this, limit, what] {
            std::unique_lock lock(m_mutex);
            if (!m_finished.wait_for(lock, limit, [this] { return m_done; })) {
                std::fprintf(stderr, "%s did not finish within %lld s\n", what,
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_finished.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_thread; // last: it starts once the members it waits on exist
};

} // namespace vespira::test
