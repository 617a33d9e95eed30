#pragma once

// The trigram index of one collected file as the matching loop consults it: for a search
// text, the stretches of the file where its next occurrence can start. The find step hands
// them to the stream search, which scans those stretches only and so finds the same
// occurrence as the plain scan (an occurrence without a line end lies inside one document
// block, and a block that lacks one of the text's trigrams holds none). Nothing else in the
// loop changes.
//
//   CandidateSource source(index::openIndex(programFolder, name, db::TextKind::Utf8), blockSize);
//   search.FindNext(options, text, source.spansFor(text, bigEndian));
//
// The answer for a text is worked out once and kept: the loop asks for the same text after
// every document marker, and a search of several words asks once per word.

#include "core/index/candidates.h"
#include "core/index/trigramindex.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace vespira::search {

class CandidateSource final
{
public:
    CandidateSource() = default; // no index: every answer is "scan"
    // costPerJump: what going on at another stretch costs, in bytes the scan could read
    // meanwhile; about a block of the stream search, which the search for the next
    // document marker after a hit reads, as much as the mapping of the pages there costs.
    // onDamaged is called when a posting list fails its checks, once.
    CandidateSource(index::TrigramIndex index, qint64 costPerJump, std::function<void()> onDamaged = {});

    index::IndexStatus status() const { return m_index.status(); }

    // The stretches to scan for text, or null when the plain scan is the right way or as
    // fast: no current index, a text holding CR or LF or without a trigram, a big-endian
    // reading, candidates covering most of the file, or a posting list found damaged.
    const index::Candidates *spansFor(const QString &text, bool bigEndian);

private:
    index::TrigramIndex m_index;
    qint64 m_costPerJump = 0;
    std::map<std::pair<QString, bool>, std::optional<index::Candidates>> m_answers;
    std::function<void()> m_onDamaged;
};

} // namespace vespira::search
