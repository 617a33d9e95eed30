#include "cli/console.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

void put(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

InterruptGuard::InterruptGuard()
{
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
}

bool InterruptGuard::interrupted()
{
    return g_interrupted != 0;
}

ProgressBar::ProgressBar(int plainIntervalMs)
    : m_terminal {::isatty(STDERR_FILENO) == 1}
    , m_plainIntervalMs {plainIntervalMs}
{
}

void ProgressBar::show(qint64 position, qint64 maximum, const QString &caption, bool force,
                       const QString &plainCaption)
{
    const int interval = m_terminal ? 100 : m_plainIntervalMs;
    if (interval <= 0 || (!force && m_clock.isValid() && m_clock.elapsed() < interval))
        return;
    m_clock.start();
    if (!m_terminal) {
        put((plainCaption.isEmpty() ? caption : plainCaption) + u'\n');
        return;
    }
    constexpr int Width = 30;
    const int filled = maximum > 0 ? int(std::clamp<qint64>(position * Width / maximum, 0, Width)) : 0;
    QString line = u"\r["_s + QString(filled, u'#') + QString(Width - filled, u'-') + u"] "_s + caption;
    if (line.size() > 110)
        line = line.left(107) + u"..."_s;
    put(line + u"\x1b[K"_s);
    m_drawn = true;
}

void ProgressBar::finish()
{
    if (m_terminal && m_drawn)
        put(u"\n"_s);
    m_drawn = false;
}

void ProgressBar::clear()
{
    if (m_terminal && m_drawn)
        put(u"\r\x1b[K"_s);
    m_drawn = false;
}

} // namespace vespira::cli
