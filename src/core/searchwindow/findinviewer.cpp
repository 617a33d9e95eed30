#include "core/searchwindow/findinviewer.h"

#include "core/app/databasefile.h"
#include "core/common/paths.h"
#include "core/common/text.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

namespace {

// windows-1252 with "?" for every character that has no form there (the system converter
// would put SUB, 0x1A, which a find text must not turn into).
QByteArray toAnsiOrQuestionMark(const QString &s)
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int b = 0; b < 256; ++b) {
            const QString c = text::fromAnsi(QByteArray(1, static_cast<char>(b)));
            if (c.size() == 1 && c.at(0) != QChar::ReplacementCharacter)
                t.insert(c.at(0).unicode(), static_cast<char>(b));
        }
        return t;
    }();
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i; // one character, one "?"
        out.append(table.value(c.unicode(), '?'));
    }
    return out;
}

// Lower case character by character, so an index into the result is the same index into
// s: QString::toLower() maps some characters to two ("İ" to "i" and a combining dot), which
// would move every later match by one.
QString lowerKeepingIndexes(const QString &s)
{
    QString out = s;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate()) {
            const char32_t lower = QChar::toLower(QChar::surrogateToUcs4(c, out.at(i + 1)));
            if (QChar::requiresSurrogates(lower)) {
                out[i] = QChar(QChar::highSurrogate(lower));
                out[i + 1] = QChar(QChar::lowSurrogate(lower));
            }
            ++i;
        } else {
            const char32_t lower = QChar::toLower(char32_t(c.unicode()));
            if (!QChar::requiresSurrogates(lower))
                out[i] = QChar(char16_t(lower));
        }
    }
    return out;
}

} // namespace

HorspoolPattern::HorspoolPattern(QByteArrayView pattern)
{
    for (int b = 0; b < 256; ++b)
        m_fold[b] = text::ansiLower(static_cast<unsigned char>(b));
    const qsizetype n = pattern.size();
    m_pattern.resize(n);
    for (qsizetype i = 0; i < n; ++i)
        m_pattern[i] = static_cast<char>(m_fold[static_cast<uchar>(pattern.at(i))]);

    // The skip of a text byte is the distance from the last pattern position to the
    // rightmost earlier position holding the same letter in either case. Keying the table
    // by the folded byte gives both case forms the same entry.
    std::array<qint64, 256> byFolded;
    byFolded.fill(n);
    for (qsizetype i = 0; i + 1 < n; ++i)
        byFolded[static_cast<uchar>(m_pattern.at(i))] = n - 1 - i;
    for (int b = 0; b < 256; ++b)
        m_skip[b] = byFolded[m_fold[b]];

    const auto forms = [this](uchar folded, std::array<uchar, 2> &out) {
        int count = 0;
        for (int b = 0; b < 256; ++b)
            if (m_fold[b] == folded) {
                if (count == 2)
                    return false;
                out[count++] = static_cast<uchar>(b);
            }
        if (count == 1)
            out[1] = out[0];
        return count > 0;
    };
    m_vectorScan = n > 0 && forms(static_cast<uchar>(m_pattern.front()), m_firstForms)
        && forms(static_cast<uchar>(m_pattern.back()), m_lastForms);
}

bool HorspoolPattern::matchesAt(const uchar *data, qint64 at) const
{
    const auto *pat = reinterpret_cast<const uchar *>(m_pattern.constData());
    for (qint64 j = 0; j < m_pattern.size(); ++j)
        if (m_fold[data[at + j]] != pat[j])
            return false;
    return true;
}

qint64 HorspoolPattern::find(const uchar *data, qint64 size, qint64 from) const
{
#ifdef __SSE2__
    // Sixteen candidate starts at a time: a start counts only when its byte and the byte
    // n - 1 further on are case forms of the pattern's first and last byte. With text where
    // the pattern's letters are common this is several times faster than the skips of the
    // scalar loop; the scalar loop finishes the last bytes.
    const qint64 n = m_pattern.size();
    if (m_vectorScan && from >= 0) {
        const __m128i first0 = _mm_set1_epi8(static_cast<char>(m_firstForms[0]));
        const __m128i first1 = _mm_set1_epi8(static_cast<char>(m_firstForms[1]));
        const __m128i last0 = _mm_set1_epi8(static_cast<char>(m_lastForms[0]));
        const __m128i last1 = _mm_set1_epi8(static_cast<char>(m_lastForms[1]));
        for (; from + n - 1 + 16 <= size; from += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from + n - 1));
            const __m128i candidates =
                _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, first0), _mm_cmpeq_epi8(a, first1)),
                              _mm_or_si128(_mm_cmpeq_epi8(b, last0), _mm_cmpeq_epi8(b, last1)));
            for (unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(candidates)); bits != 0;
                 bits &= bits - 1) {
                const qint64 at = from + std::countr_zero(bits);
                if (matchesAt(data, at))
                    return at;
            }
        }
    }
#endif
    return findScalar(data, size, from);
}

qint64 HorspoolPattern::findScalar(const uchar *data, qint64 size, qint64 from) const
{
    const qint64 n = m_pattern.size();
    if (n == 0 || from < 0 || size - from < n)
        return -1;
    const auto *pat = reinterpret_cast<const uchar *>(m_pattern.constData());
    const uchar last = pat[n - 1];
    qint64 end = from + n - 1;
    while (end < size) {
        const uchar t = data[end];
        if (m_fold[t] != last) {
            end += m_skip[t];
            continue;
        }
        qint64 p = end - 1;
        qint64 j = n - 2;
        while (j >= 0 && m_fold[data[p]] == pat[j]) {
            --p;
            --j;
        }
        if (j < 0)
            return end - (n - 1);
        end = std::max(end + m_skip[t], p + m_skip[data[p]]);
    }
    return -1;
}

MappedFileSearch::MappedFileSearch(const QString &fileName, QByteArrayView pattern, qint64 windowBytes)
    : m_file {fileName}
    , m_pattern {pattern}
    , m_window {std::max<qint64>(windowBytes, 1)}
{
    if (m_file.open(QIODevice::ReadOnly)) {
        m_size = m_file.size();
        m_open = m_size > 0;
    }
}

MappedFileSearch::~MappedFileSearch()
{
    if (m_map)
        m_file.unmap(m_map);
}

bool MappedFileSearch::mapWindow(qint64 start)
{
    if (m_map && m_mapStart == start)
        return true;
    if (m_map)
        m_file.unmap(m_map);
    m_map = nullptr;
    m_mapStart = -1;
    // Windows overlap by pattern length - 1, so an occurrence starting in one window lies
    // whole inside it.
    const qint64 length = std::min<qint64>(m_window + m_pattern.size() - 1, m_size - start);
    m_map = m_file.map(start, length);
    if (!m_map)
        return false;
    m_mapStart = start;
    m_mapLength = length;
    return true;
}

qint64 MappedFileSearch::next(qint64 from, const ProgressFn &progress)
{
    m_cancelled = false;
    if (!m_open || m_pattern.size() == 0)
        return -1;
    from = std::max<qint64>(0, from);
    qint64 window = from / m_window * m_window;
    while (window < m_size && m_size - from >= m_pattern.size()) {
        if (m_mapStart != window) {
            if (!progress(window, m_size)) {
                m_cancelled = true;
                return -1;
            }
            if (!mapWindow(window)) {
                m_failed = true;
                return -1;
            }
        }
        const qint64 hit = m_pattern.find(m_map, m_mapLength, from - window);
        if (hit >= 0 && hit < m_window)
            return window + hit;
        window += m_window;
        from = window;
    }
    return -1;
}

ByteSearchResult byteSearchAll(const QString &fileName, QByteArrayView pattern,
                               const ProgressFn &progress, qint64 maxHits)
{
    ByteSearchResult result;
    MappedFileSearch search(fileName, pattern);
    if (!search.isOpen())
        return result;
    qint64 from = 0;
    while (maxHits < 0 || result.offsets.size() < maxHits) {
        const qint64 hit = search.next(from, progress);
        if (hit < 0)
            break;
        result.offsets.append(hit);
        from = hit + 1;
    }
    result.opened = !search.failed();
    result.cancelled = search.cancelled();
    return result;
}

QByteArray findPatternBytes(app::DocumentKind kind, const QString &text)
{
    switch (kind) {
    case app::DocumentKind::Ansi:
        return toAnsiOrQuestionMark(text);
    case app::DocumentKind::Utf8:
        return text.toUtf8();
    case app::DocumentKind::Mht: {
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            qToLittleEndian<quint16>(text.at(i).unicode(), bytes.data() + 2 * i);
        return bytes;
    }
    case app::DocumentKind::None:
        break;
    }
    return {};
}

QString findFilePath(const QString &programFolder, const QString &databaseName,
                     app::DocumentKind kind, bool sortedList)
{
    QString suffix;
    switch (kind) {
    case app::DocumentKind::Ansi:
        suffix = sortedList ? u"_Phrasen_Woerter_AnsiListe.txt"_s : u"_AnsiDokument.txt"_s;
        break;
    case app::DocumentKind::Utf8:
        suffix = sortedList ? u"_Phrasen_Woerter_Utf8Liste.txt"_s : u"_UTF8Dokument.txt"_s;
        break;
    case app::DocumentKind::Mht:
        suffix = sortedList ? u"_Phrasen_Woerter_MHTListe.txt"_s : u"_MHTtext.txt"_s;
        break;
    case app::DocumentKind::None:
        return {};
    }
    return app::resolveDatabaseFile(programFolder, programFolder + QString::fromUtf16(paths::Datenbank),
                                    databaseName, suffix);
}

void FindInViewer::reset()
{
    m_pending = -1;
    m_current = -1;
    m_fileName.clear();
    m_pattern.clear();
}

FindInViewer::Step FindInViewer::next(const QString &fileName, app::DocumentKind kind,
                                      const QString &text, const ProgressFn &progress)
{
    const QByteArray pattern = findPatternBytes(kind, text);
    // A press for another file or text than the pending occurrence belongs to starts over.
    if (m_pending >= 0 && (fileName != m_fileName || pattern != m_pattern))
        reset();
    Step step;
    if (pattern.isEmpty())
        return step;
    MappedFileSearch search(fileName, pattern);
    qint64 hit = m_pending;
    if (hit < 0) {
        hit = search.next(0, progress);
        if (search.cancelled()) {
            step.status = Status::Cancelled;
            return step;
        }
        if (hit < 0)
            return step;
    }
    const qint64 after = search.next(hit + 1, progress);
    if (search.cancelled()) {
        step.status = Status::Cancelled; // nothing shown; the press may be repeated
        return step;
    }
    m_current = hit;
    step.offset = hit;
    step.selectionLength = pattern.size();
    if (after < 0) {
        step.status = Status::FoundLast;
        reset();
        m_current = hit;
    } else {
        step.status = Status::Found;
        m_pending = after;
        m_fileName = fileName;
        m_pattern = pattern;
    }
    return step;
}

qint64 memoSelectionStart(const QString &memoText, const QString &findText, qint64 memoSearchStart,
                          bool ansiKind)
{
    if (findText.isEmpty())
        return -1;
    const auto search = [&](qsizetype from) -> qint64 {
        if (ansiKind) {
            QByteArray memo = toAnsiOrQuestionMark(memoText);
            QByteArray needle = toAnsiOrQuestionMark(findText);
            for (char &c : memo)
                c = static_cast<char>(text::ansiLower(static_cast<uchar>(c)));
            for (char &c : needle)
                c = static_cast<char>(text::ansiLower(static_cast<uchar>(c)));
            return memo.indexOf(needle, from);
        }
        return lowerKeepingIndexes(memoText).indexOf(lowerKeepingIndexes(findText), from);
    };
    const qint64 first = search(0);
    if (first < 0)
        return -1;
    if (memoSearchStart > first && memoSearchStart < memoText.size()) {
        const qint64 again = search(memoSearchStart - 1);
        if (again >= 0)
            return again;
    }
    return first;
}

} // namespace vespira::searchwindow
