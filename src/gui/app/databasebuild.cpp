#include "gui/app/databasebuild.h"

#include "core/common/error.h"
#include "producer/progresstext.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

// At most this often a progress signal; the producer reports every document.
constexpr qint64 ProgressIntervalMs = 100;

} // namespace

DatabaseBuild::DatabaseBuild(QObject *parent)
    : QObject {parent}
{
}

DatabaseBuild::~DatabaseBuild()
{
    cancel();
    join();
}

bool DatabaseBuild::start(const producer::IndexOptions &options)
{
    if (m_running)
        return false;
    join();
    m_running = true;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    // The thread reaches this object only through queued calls, which a destroyed object
    // never receives; the destructor waits for the thread anyway.
    QPointer<DatabaseBuild> self(this);
    m_thread = std::thread([self, options, cancelled = m_cancel, target = this, hook = onWorkerProgress] {
        BuildOutcome outcome;
        QElapsedTimer lastShown;
        const auto progress = [&](const producer::IndexProgress &p) {
            if (hook)
                hook(p);
            if (!lastShown.isValid() || lastShown.elapsed() >= ProgressIntervalMs) {
                lastShown.start();
                QMetaObject::invokeMethod(target, [self, p] {
                    if (self)
                        Q_EMIT self->progressed(p);
                }, Qt::QueuedConnection);
            }
            return !cancelled->load();
        };
        const auto skip = [&](const QString &path, const QString &reason) {
            outcome.skipped.append(producer::skipText(path, reason));
        };
        try {
            outcome.summary = producer::buildDatabase(options, progress, skip);
            outcome.cancelled = outcome.summary.cancelled;
        } catch (const Error &e) {
            outcome.error = e.message();
        } catch (const std::exception &e) {
            outcome.error = QString::fromLocal8Bit(e.what());
        } catch (...) {
            outcome.error = u"Unbekannter Fehler"_s;
        }
        QMetaObject::invokeMethod(target, [self, outcome] {
            if (!self)
                return;
            self->m_running = false;
            Q_EMIT self->finished(outcome);
        }, Qt::QueuedConnection);
    });
    return true;
}

void DatabaseBuild::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
}

void DatabaseBuild::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace vespira::gui
