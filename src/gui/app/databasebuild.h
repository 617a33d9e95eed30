#pragma once

#include "producer/indexer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace vespira::gui {

// How a build ended.
struct BuildOutcome
{
    bool cancelled = false;
    QString error;       // German, as `vespira index` says it; empty on success
    QStringList skipped; // "Übersprungen: PATH: REASON", one per file or folder left out
    producer::IndexSummary summary;
};

// Runs one database build of the producer on a thread of its own, so the window stays
// live: progress and the end arrive as queued signals on the thread that started it.
// cancel() stops the build at its next safe point (a document, or a slice of the index),
// which leaves the database as it was before.
class DatabaseBuild final : public QObject
{
    Q_OBJECT
public:
    explicit DatabaseBuild(QObject *parent = nullptr);
    ~DatabaseBuild() override; // cancels and waits

    // False when a build still runs.
    bool start(const producer::IndexOptions &options);
    void cancel();
    bool running() const { return m_running; }

    // Called on the build's thread at every progress report, before the cancel is looked
    // at; tests hold a build there to cancel it at a known point.
    std::function<void(const producer::IndexProgress &)> onWorkerProgress;

Q_SIGNALS:
    void progressed(const vespira::producer::IndexProgress &progress);
    void finished(const vespira::gui::BuildOutcome &outcome);

private:
    void join();

    std::thread m_thread;
    std::shared_ptr<std::atomic_bool> m_cancel;
    bool m_running = false;
};

} // namespace vespira::gui
