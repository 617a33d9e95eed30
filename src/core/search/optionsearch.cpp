#include "core/search/optionsearch.h"

#include "core/common/error.h"
#include "core/common/text.h"
#include "core/search/candidatesource.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace vespira::search {

namespace {

constexpr qint64 EndOfFile = std::numeric_limits<qint64>::max();

qint64 alignUp(qint64 value, int charSize)
{
    return value + (charSize - value % charSize) % charSize;
}

qint64 alignDown(qint64 value, int charSize)
{
    return value - value % charSize;
}

} // namespace

WordScan::WordScan(const WordMatcher &matcher, MappedFile &file, int blockSize, Progress progress)
    : m_matcher {matcher}
    , m_file {file}
    , m_blockSize {std::max(blockSize, 1)}
    , m_progress {std::move(progress)}
{
}

qint64 WordScan::find(qint64 from, qint64 limit, qint64 &length)
{
    length = 0;
    if (!m_spans)
        return scanRange(from, limit, length);
    while (from < limit && !m_stopped) {
        const ScanSpan span = m_spans(from);
        if (span.begin >= span.end || span.begin >= limit)
            return -1;
        const qint64 at = scanRange(std::max(from, span.begin), std::min(span.end, limit), length);
        if (at >= 0)
            return at;
        from = std::max(from, span.end);
    }
    return -1;
}

qint64 WordScan::next(qint64 from, qint64 &length)
{
    if (m_cached && from >= m_cachedFrom && (m_cachedAt < 0 || from <= m_cachedAt)) {
        length = m_cachedLength;
        return m_cachedAt;
    }
    const qint64 at = find(from, EndOfFile, length);
    m_cached = !m_stopped;
    m_cachedFrom = from;
    m_cachedAt = at;
    m_cachedLength = length;
    return at;
}

qint64 WordScan::scanRange(qint64 from, qint64 limit, qint64 &length)
{
    const int cs = m_matcher.charSize();
    qint64 position = alignUp(std::max<qint64>(from, 0), cs);
    while (!m_matcher.isEmpty()) {
        const qint64 size = m_file.size();
        if (position >= limit || position + m_matcher.minLength() > size)
            return -1;
        // The window holds the character before the first candidate and, after the last one,
        // the longest match and the character after it, as the literal search's windows do.
        const qint64 base = std::max<qint64>(0, position - cs);
        const qint64 want = m_blockSize + (position - base) + m_matcher.maxLength() + cs;
        const QByteArrayView bytes = m_file.view(base, want);
        if (bytes.isEmpty()) {
            if (m_file.failed())
                throw Error(u"Read error at offset %1"_s.arg(base));
            return -1;
        }
        const qint64 end = base + bytes.size();
        const bool atEnd = bytes.size() < want || end >= size;
        const qint64 fileSize = atEnd ? end : size;
        qint64 lastCandidate = atEnd ? end - m_matcher.minLength() : end - m_matcher.maxLength() - cs;
        if (lastCandidate >= 0)
            lastCandidate = alignDown(lastCandidate, cs);
        const qint64 to = std::min(lastCandidate, limit == EndOfFile ? limit : alignDown(limit - 1, cs));
        if (to >= position) {
            const qint64 found = m_matcher.findForward(reinterpret_cast<const unsigned char *>(bytes.data()), base,
                                                       bytes.size(), fileSize, position, to, length);
            if (found >= 0)
                return found;
        }
        if (atEnd || to < lastCandidate || lastCandidate < position)
            return -1;
        const qint64 next = lastCandidate + cs;
        if (!m_progress.step(next, size)) {
            m_stopped = true;
            return -1;
        }
        m_file.refreshSize(); // the caller's code ran in the report and may have changed the file
        position = next;
    }
    return -1;
}

OptionFileSearch::OptionFileSearch(MatchOptions options, const MatchEnvironment &environment, app::SearchRunState &run)
    : m_options {std::move(options)}
    , m_words {words(m_options)}
    , m_env {environment}
    , m_run {run}
{
}

QStringList OptionFileSearch::words(const MatchOptions &options)
{
    if (!options.allWords)
        return options.searchText.isEmpty() ? QStringList {} : QStringList {options.searchText};
    static const QRegularExpression gaps(u"[ \\t]+"_s);
    QStringList words;
    QStringList seen;
    for (const QString &word : text::trimControl(options.searchText).split(gaps, Qt::SkipEmptyParts)) {
        const QString key = options.caseSensitive ? word : text::lowerEachUnit(word);
        if (!seen.contains(key)) {
            seen << key;
            words << word;
        }
    }
    return words;
}

void OptionFileSearch::run(const QString &collectedPath, db::PendingTitlePositions &titles, CollectedKind kind,
                           HitSink &sink)
{
    m_failed = false;
    m_viewer.reset();
    if (m_words.isEmpty())
        return;
    MappedFile file(collectedPath, m_env.mapWindow);
    if (!file.isOpen()) {
        m_failed = true;
        m_env.dialogs.error(collectedPath + u" kann nicht geöffnet werden."_s);
        return;
    }
    m_titles = &titles.get();
    try {
        search(file, kind, sink);
    } catch (const Error &e) {
        m_failed = true;
        if (!e.message().isEmpty())
            m_env.dialogs.error(e.message());
    }
    m_viewer.reset();
    m_titles = nullptr;
}

std::vector<qint64> OptionFileSearch::blockStarts(MappedFile &file, TTextEncoding encoding) const
{
    std::vector<qint64> starts = m_titles->offsets();
    if (starts.empty()) {
        // No title positions: the blocks are where the markers stand, as the literal search
        // finds them (case as the options say).
        const WordMatcher marker(m_env.documentMarker, encoding, m_options.caseSensitive, false, false);
        WordScan scan(marker, file, m_env.blockSize, m_env.progress);
        qint64 length = 0;
        for (qint64 at = scan.find(0, EndOfFile, length); at >= 0; at = scan.find(at + 1, EndOfFile, length))
            starts.push_back(at);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

void OptionFileSearch::search(MappedFile &file, CollectedKind kind, HitSink &sink)
{
    const TTextEncoding encoding =
        kind == CollectedKind::Utf8 ? vEncUTF8 : (m_options.bigEndian ? vEncUnicodeBE : vEncUnicodeLE);
    const std::vector<qint64> starts = blockStarts(file, encoding);
    if (m_env.progress.stopRequested())
        return;
    // Block -1 is the text before the first block.
    auto blockOf = [&](qint64 position) {
        return qint64(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
    };
    auto blockBegin = [&](qint64 block) { return block < 0 ? 0 : starts[size_t(block)]; };
    auto blockEnd = [&](qint64 block) {
        return block + 1 < qint64(starts.size()) ? starts[size_t(block + 1)] : EndOfFile;
    };

    std::vector<WordMatcher> matchers;
    matchers.reserve(size_t(m_words.size()));
    for (const QString &word : std::as_const(m_words))
        matchers.emplace_back(word, encoding, m_options.caseSensitive, m_options.wholeWords, m_options.umlauts);
    std::vector<WordScan> scans;
    scans.reserve(matchers.size());
    for (const WordMatcher &matcher : matchers)
        scans.emplace_back(matcher, file, m_env.blockSize, m_env.progress);

    // Each word is looked for only where the index says its literal part can stand: all
    // words meet in a block only where each one's candidates do.
    for (size_t k = 0; m_candidates && k < scans.size(); ++k) {
        const QString &part = matchers[k].literalPart();
        const index::Candidates *spans = part.isEmpty() ? nullptr : m_candidates->spansFor(part, m_options.bigEndian);
        if (spans)
            scans[k].setCandidates([spans](qint64 position) {
                const index::Candidates::Span s = spans->span(position);
                return ScanSpan {s.begin, s.end};
            });
    }
    const size_t n = scans.size();
    std::vector<qint64> at(n), length(n);
    qint64 position = 0; // always where a block begins
    size_t w = 0;        // the word to look for next
    // Told once per hit besides the scans' windows, so a run that finds something in every
    // window still lets a cancel through.
    while (m_env.progress.step(position, file.size())) {
        // Each word from the start of the block where the word found last stands, until every
        // word in a row stands in that block. Every scan only moves forward and starts no
        // further back than that block, so the words' scans keep to the same stretch of file.
        qint64 block = 0;
        size_t agreed = 0;
        while (agreed < n) {
            at[w] = scans[w].next(agreed == 0 ? position : blockBegin(block), length[w]);
            if (at[w] < 0)
                return; // no block further on holds this word (or the run was cancelled)
            const qint64 found = blockOf(at[w]);
            if (agreed > 0 && found == block) {
                ++agreed;
            } else {
                block = found;
                agreed = 1;
            }
            w = (w + 1) % n;
        }
        size_t first = 0;
        for (size_t k = 1; k < n; ++k)
            if (at[k] < at[first])
                first = k;
        const qint64 end = blockEnd(block);
        qint64 occurrences = 0;
        if (m_options.countHits) {
            const int cs = matchers.front().charSize();
            for (size_t k = 0; k < n; ++k) {
                qint64 l = length[k];
                for (qint64 o = at[k]; o >= 0; o = scans[k].find(o + std::max<qint64>(l, cs), end, l))
                    ++occurrences;
            }
            if (m_env.progress.stopRequested())
                return;
        }
        processMatch(file, kind, at[first], length[first], occurrences, sink);
        if (end == EndOfFile)
            return;
        position = end;
    }
}

void OptionFileSearch::processMatch(MappedFile &file, CollectedKind kind, qint64 foundStart, qint64 length,
                                    qint64 occurrences, HitSink &sink)
{
    const int charSize = kind == CollectedKind::Utf16 ? 2 : 1;
    if (!m_viewer)
        m_viewer = std::make_unique<LineReader>(file, charSize, kind == CollectedKind::Utf16 && m_options.bigEndian);
    // The context is cut around the text as the document spells it.
    const QByteArrayView bytes = file.view(foundStart, length);
    QString found;
    if (kind == CollectedKind::Utf8) {
        found = QString::fromUtf8(bytes);
    } else {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            const auto lo = uchar(bytes[i + (m_options.bigEndian ? 1 : 0)]);
            const auto hi = uchar(bytes[i + (m_options.bigEndian ? 0 : 1)]);
            found += QChar(char16_t(hi << 8 | lo));
        }
    }
    bool contextEmpty = true;
    const QString context = matchContext(m_viewer.get(), kind, foundStart, found, true, contextEmpty);
    Hit hit = hitAt(*m_titles, foundStart, kind, context, m_env);
    hit.occurrences = m_options.countHits ? occurrences : 0;
    if (m_options.allWords || m_options.umlauts)
        hit.marks = findWords(hit.context, m_words, m_options.caseSensitive, m_options.wholeWords, m_options.umlauts);
    const bool counts = !hit.path.isEmpty() && !contextEmpty;
    sink.matched(std::move(hit));
    if (counts)
        hitCountsForLists(kind, m_env, m_run);
}

} // namespace vespira::search
