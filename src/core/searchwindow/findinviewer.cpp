#include "core/searchwindow/findinviewer.h"

#include "core/app/databasefile.h"
#include "core/common/paths.h"
#include "core/common/text.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>

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

FoldedPattern::FoldedPattern(QByteArrayView pattern)
{
    for (int b = 0; b < 256; ++b)
        m_fold[b] = text::ansiLower(static_cast<unsigned char>(b));
    const qsizetype n = pattern.size();
    m_pattern.resize(n);
    for (qsizetype i = 0; i < n; ++i)
        m_pattern[i] = static_cast<char>(m_fold[static_cast<uchar>(pattern.at(i))]);
    m_probes = rarestProbes(n, [this](qint64 offset) {
        std::vector<unsigned char> forms;
        for (int b = 0; b < 256; ++b)
            if (m_fold[b] == static_cast<uchar>(m_pattern.at(offset)))
                forms.push_back(static_cast<unsigned char>(b));
        return forms;
    });
}

bool FoldedPattern::matchesAt(const uchar *data, qint64 at) const
{
    const auto *pat = reinterpret_cast<const uchar *>(m_pattern.constData());
    for (qint64 j = 0; j < m_pattern.size(); ++j)
        if (m_fold[data[at + j]] != pat[j])
            return false;
    return true;
}

qint64 FoldedPattern::find(const uchar *data, qint64 size, qint64 from) const
{
    const qint64 n = m_pattern.size();
    if (n == 0 || from < 0 || size - from < n)
        return -1;
    return scanCandidates(data, from, size - n, m_probes, [&](qint64 at) { return matchesAt(data, at); });
}

MappedFileSearch::MappedFileSearch(const QString &fileName, QByteArrayView pattern, qint64 windowBytes)
    : m_file {fileName, std::max<qint64>(windowBytes, 1) + std::max<qint64>(pattern.size() - 1, 0), false}
    , m_pattern {pattern}
    , m_window {std::max<qint64>(windowBytes, 1)}
{
    m_size = m_file.size();
    m_open = m_file.isOpen() && m_size > 0;
}

qint64 MappedFileSearch::next(qint64 from, const Progress &progress)
{
    m_cancelled = false;
    if (!m_open || m_pattern.size() == 0)
        return -1;
    from = std::max<qint64>(0, from);
    qint64 window = from / m_window * m_window;
    while (window < m_size && m_size - from >= m_pattern.size()) {
        if (m_reported != window) {
            if (!progress.step(window, m_size)) {
                m_cancelled = true;
                return -1;
            }
            m_reported = window;
        }
        // Windows overlap by pattern length - 1, so an occurrence starting in one window
        // lies whole inside it.
        const QByteArrayView bytes = m_file.view(window, m_window + m_pattern.size() - 1);
        if (bytes.isEmpty()) {
            m_failed = true;
            return -1;
        }
        const qint64 hit = m_pattern.find(reinterpret_cast<const uchar *>(bytes.data()), bytes.size(), from - window);
        if (hit >= 0 && hit < m_window)
            return window + hit;
        window += m_window;
        from = window;
    }
    return -1;
}

ByteSearchResult byteSearchAll(const QString &fileName, QByteArrayView pattern,
                               const Progress &progress, qint64 maxHits)
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
                                      const QString &text, const Progress &progress)
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
