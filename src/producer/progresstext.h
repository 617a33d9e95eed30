#pragma once

#include "producer/indexer.h"

#include <QString>

namespace vespira::producer {

// The progress of a build for a person, German:
// "12 von 40 Dokumenten, 3,4 MB/s, noch 5 s" after elapsedMs milliseconds; once every
// document is through, that the search index is being written.
QString progressText(const IndexProgress &progress, qint64 elapsedMs);

// A skipped file or folder as `vespira index` reports it: "Übersprungen: PATH: REASON".
QString skipText(const QString &path, const QString &reason);

} // namespace vespira::producer
