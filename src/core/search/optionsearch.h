#pragma once

// The loop over one collected text file for a search beyond one literal text: every word of
// the text in any order ("Alle Wörter"), the umlaut spellings ("Umlaute gleichwertig") and
// the number of occurrences per document ("Fundstellen zählen"). A literal search keeps its
// own loop (collectedfilesearch.h); for a literal text this one finds the same documents.
//
//   OptionFileSearch loop(options, environment, ctx.state.run);
//   db::PendingTitlePositions titles(utf8TitlesPath);
//   loop.run(utf8Path, titles, CollectedKind::Utf8, sink);
//
// A document block (as the title positions give them; without them, as the document markers
// stand) is a hit when it holds every word. The words leapfrog: each word's next occurrence
// is looked for from the start of the block where the word found last stands, so the rarest
// word leads and the others are looked for only in the blocks it holds. Every word's scan only
// moves forward, and all of them keep to the same stretch of the file, so two words cost
// about one scan for the rarer. The hit shows the context of the
// first occurrence of the word that stands first in its block, with every word marked; with
// counting, how often the words occur in the block (the next occurrence looked for after the
// end of the one before, as a reader counts them).
//
// Errors (a file that cannot be opened, a read error) are shown through the environment's
// dialogs and end the loop; the hits found so far stand. So does a cancel.

#include "core/search/collectedfilesearch.h"
#include "core/search/wordmatcher.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vespira::search {

// Where a word may start, as an index tells it: the first stretch at or after a position
// that may hold a match; {end, end} when none is left.
struct ScanSpan
{
    qint64 begin = 0;
    qint64 end = 0;
};
using CandidateSpans = std::function<ScanSpan(qint64 position)>;

// The next match of one word in a mapped file, a window of blockSize bytes (plus the longest
// match) at a time, the progress told after each window.
class WordScan
{
public:
    WordScan(const WordMatcher &matcher, MappedFile &file, int blockSize, Progress progress);

    // From now on only the stretches spans gives are read (an index's candidates).
    void setCandidates(CandidateSpans spans) { m_spans = std::move(spans); }

    // The first match that starts in [from, limit); -1 when there is none, or when the
    // progress asked to stop (stopped() then tells). Throws Error on a read error.
    qint64 find(qint64 from, qint64 limit, qint64 &length);
    // find up to the end of the file, remembering the answer: asking again from any
    // position between the last start and the match found reads nothing.
    qint64 next(qint64 from, qint64 &length);

    bool stopped() const { return m_stopped; }

private:
    qint64 scanRange(qint64 from, qint64 limit, qint64 &length);

    const WordMatcher &m_matcher;
    MappedFile &m_file;
    int m_blockSize;
    Progress m_progress;
    CandidateSpans m_spans;
    bool m_stopped = false;
    bool m_cached = false;
    qint64 m_cachedFrom = 0;
    qint64 m_cachedAt = -1;
    qint64 m_cachedLength = 0;
};

class OptionFileSearch final
{
public:
    OptionFileSearch(MatchOptions options, const MatchEnvironment &environment, app::SearchRunState &run);

    // Searches one collected file and hands its hits to sink in file order.
    void run(const QString &collectedPath, db::PendingTitlePositions &titles, CollectedKind kind, HitSink &sink);

    bool failed() const { return m_failed; }
    // The index of the collected file, consulted for each word (not owned; null: scan).
    void setCandidateSource(CandidateSource *source) { m_candidates = source; }

    // The words searched for: with allWords the text split at blanks and tabs, each word once
    // (once regardless of case when case is ignored); else the whole text as typed.
    static QStringList words(const MatchOptions &options);

private:
    void search(MappedFile &file, CollectedKind kind, HitSink &sink);
    std::vector<qint64> blockStarts(MappedFile &file, TTextEncoding encoding) const;
    void processMatch(MappedFile &file, CollectedKind kind, qint64 foundStart, qint64 length, qint64 occurrences,
                      HitSink &sink);

    MatchOptions m_options;
    QStringList m_words;
    const MatchEnvironment &m_env;
    app::SearchRunState &m_run;
    const db::TitlePositions *m_titles = nullptr; // while a run lasts
    std::unique_ptr<LineReader> m_viewer;
    bool m_failed = false;
    CandidateSource *m_candidates = nullptr;
};

} // namespace vespira::search
