#pragma once

// Carries the trigram index of one collected file over from the database an update replaces,
// instead of building it from the whole text again: the update notes where each block of the
// new collected file comes from (a block kept from the earlier file, or a new one, which also
// goes to a small scratch collected file of its own), and at the end the lists of the
// earlier index and of an index of the new blocks alone are merged (core/index/merge.h).
//
// It stays out of the way (carried over nothing, the caller builds from the text) unless the
// earlier index is current and its blocks are exactly those of the title positions, and every
// block ends with a line end, as the blocks the producer writes do.

#include "producer/storedtexts.h"
#include "producer/tempoutput.h"

#include "core/db/dbfiles.h"
#include "core/index/merge.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace vespira::producer {

class IndexCarry
{
public:
    IndexCarry(const QString &programFolder, const QString &name, db::TextKind kind, const StoredTexts *stored);

    // A block as it is written to the new collected file at offset: one copied from block
    // earlierNumber of the earlier file, or a new one, marker line and text.
    void addKept(qint64 offset, uint32_t earlierNumber, bool endsWithLineEnd);
    void addFresh(qint64 offset, const QByteArray &marker, const QByteArray &text);

    // Whether the index may still be carried over; once false, it stays false.
    bool carrying() const { return m_active; }

    enum class Outcome { Written, NotCarried, Cancelled };
    // The index of the finished collected file, to out. NotCarried: out may hold part of a
    // file and must be thrown away; the index is then to be built from the text.
    Outcome write(const QString &collectedPath, TempOutput &out, const QString &scratchPath,
                  const std::function<bool()> &keepGoing);

private:
    bool m_active = false;
    index::IndexedText m_kind;
    index::TrigramIndex m_earlier;
    std::vector<qint64> m_starts;
    std::vector<index::BlockOrigin> m_origins;
    std::vector<qint64> m_freshStarts;
    std::unique_ptr<TempOutput> m_freshText;
    std::unique_ptr<TempOutput> m_freshTitles;
};

} // namespace vespira::producer
