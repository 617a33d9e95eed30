#include "core/search/patternmatcher.h"

#include "core/common/text.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace vespira::search {

namespace {

constexpr uint32_t InvalidTag = text::InvalidUtf8Tag;

} // namespace

std::span<const CodeRange> casedRanges()
{
    // Letters with case end in plane 1 (Adlam); the planes above hold none, and walking
    // them would cost a search more than its scan of a small file.
    static constexpr CodeRange Everything[] = {{0, 0xD800}, {0xE000, 0x20000}};
    // Where they stand in the Unicode version of the Qt this was written against; walking
    // only these takes a search a few microseconds instead of a millisecond. A test checks
    // them against every code point.
    static constexpr CodeRange Known[] = {
        {0x41, 0x5B},       {0xC0, 0x24F},      {0x370, 0x557},     {0x10A0, 0x10CE},   {0x13A0, 0x13F6},
        {0x1C90, 0x1CC0},   {0x1E00, 0x1FFD},   {0x2126, 0x2184},   {0x24B6, 0x24D0},   {0x2C00, 0x2CF3},
        {0xA640, 0xA69B},   {0xA722, 0xA7F6},   {0xFF21, 0xFF3B},   {0x10400, 0x10428}, {0x104B0, 0x104D4},
        {0x10570, 0x10596}, {0x10C80, 0x10CB3}, {0x118A0, 0x118C0}, {0x16E40, 0x16E60}, {0x1E900, 0x1E922},
    };
    if (QChar::currentUnicodeVersion() == KnownCasedRangesVersion)
        return Known;
    return Everything;
}

namespace {

// Code points whose lower case differs from themselves, grouped by that lower case.
const std::unordered_map<uint32_t, std::vector<uint32_t>> &upperPartners()
{
    static std::unordered_map<uint32_t, std::vector<uint32_t>> table;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const CodeRange range : casedRanges()) {
            for (char32_t c = range.from; c < range.to; ++c) {
                const char32_t lower = QChar::toLower(c);
                if (lower != c)
                    table[lower].push_back(c);
            }
        }
    });
    return table;
}

// Encoded by hand: QString::fromUcs4 takes a leading U+FEFF for a byte-order mark and drops
// it, which made a search text holding that character look shorter than its matches.
QByteArray utf8Of(uint32_t code)
{
    QByteArray out;
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
    return out;
}

} // namespace

std::vector<uint32_t> caseClass(uint32_t code)
{
    const uint32_t target = foldCodePoint(code);
    std::vector<uint32_t> members;
    if (foldCodePoint(target) == target)
        members.push_back(target);
    const auto &partners = upperPartners();
    if (const auto it = partners.find(target); it != partners.end())
        members.insert(members.end(), it->second.begin(), it->second.end());
    if (members.empty())
        members.push_back(code);
    return members;
}

PatternMatcher::PatternMatcher(const QString &text, TTextEncoding encoding, bool caseSensitive,
                               bool wholeWords)
    : m_wholeWords {wholeWords}
{
    if (text.isEmpty())
        return;
    m_charSize = (encoding == vEncUnicodeLE || encoding == vEncUnicodeBE) ? 2 : 1;
    m_bigEndian = encoding == vEncUnicodeBE;

    if (m_charSize == 2) {
        if (caseSensitive) {
            m_mode = Mode::Bytes;
            for (const QChar ch : text) {
                const char16_t u = ch.unicode();
                const char lo = char(u & 0xFF), hi = char(u >> 8);
                m_bytes.append(m_bigEndian ? hi : lo);
                m_bytes.append(m_bigEndian ? lo : hi);
            }
        } else {
            m_mode = Mode::UnitsFold;
            std::vector<std::vector<char16_t>> classes;
            for (const QChar ch : text) {
                m_targets.push_back(ch.toLower().unicode());
                std::vector<char16_t> units;
                if (ch.isSurrogate()) {
                    units.push_back(ch.unicode());
                } else {
                    for (const uint32_t c : caseClass(ch.unicode()))
                        if (c <= 0xFFFF && QChar(char16_t(c)).toLower() == ch.toLower())
                            units.push_back(char16_t(c));
                }
                classes.push_back(units);
            }
            m_minLength = m_maxLength = 2 * qint64(text.size());
            m_probes = rarestProbes(
                m_maxLength,
                [&](qint64 offset) {
                    std::vector<unsigned char> forms;
                    const bool high = (offset % 2 == 1) != m_bigEndian;
                    for (const char16_t u : classes[size_t(offset / 2)])
                        forms.push_back(uchar(high ? u >> 8 : u & 0xFF));
                    return forms;
                },
                2);
            m_empty = false;
            return;
        }
    } else if (encoding == vEncUTF8) {
        const QByteArray utf8 = text.toUtf8();
        if (caseSensitive) {
            m_mode = Mode::Bytes;
            m_bytes = utf8;
        } else {
            m_mode = Mode::Utf8Fold;
            const auto *d = reinterpret_cast<const unsigned char *>(utf8.constData());
            // Per character of the text: the encodings of its case forms of the usual
            // length, and of any other length.
            std::vector<std::vector<QByteArray>> usual;
            std::vector<QByteArray> other;
            qint64 prefixLength = 0;
            bool uniform = true;
            for (qint64 i = 0; i < utf8.size();) {
                const DecodedCodePoint cp = decodeUtf8(d + i, utf8.size() - i);
                const uint32_t target = foldCodePoint(cp.value);
                m_targets.push_back(target);
                std::vector<QByteArray> forms;
                if (cp.value >= InvalidTag) {
                    forms.push_back(QByteArray(1, char(cp.value - InvalidTag)));
                } else {
                    for (const uint32_t c : caseClass(cp.value))
                        forms.push_back(utf8Of(c));
                }
                const qsizetype usualLength = cp.value >= InvalidTag ? 1 : utf8Of(target).size();
                qint64 shortest = 4, longest = 1;
                std::vector<QByteArray> same;
                for (const QByteArray &f : forms) {
                    shortest = std::min<qint64>(shortest, f.size());
                    longest = std::max<qint64>(longest, f.size());
                    if (f.size() == usualLength)
                        same.push_back(f);
                    else
                        other.push_back(f);
                }
                if (same.empty()) { // no form of the usual length: take the text's own
                    same.push_back(QByteArray(reinterpret_cast<const char *>(d + i), cp.length));
                    std::erase(other, same.front());
                }
                m_minLength += shortest;
                m_maxLength += longest;
                uniform = uniform && shortest == longest;
                if (uniform)
                    prefixLength += shortest;
                usual.push_back(same);
                i += cp.length;
            }
            // Byte forms at an offset of a match made of the usual forms.
            std::vector<std::vector<unsigned char>> usualBytes;
            std::vector<std::vector<unsigned char>> firstBytes; // of every form, at offset 0
            for (const auto &forms : usual) {
                const qsizetype length = forms.front().size();
                for (qsizetype k = 0; k < length; ++k) {
                    std::vector<unsigned char> bytes;
                    for (const QByteArray &f : forms)
                        bytes.push_back(uchar(f[k]));
                    usualBytes.push_back(bytes);
                }
            }
            m_probes = rarestProbes(qint64(usualBytes.size()),
                                    [&](qint64 offset) { return usualBytes[size_t(offset)]; });
            if (!other.empty()) {
                m_otherLengths = true;
                std::vector<unsigned char> first, second;
                bool single = false;
                for (const QByteArray &f : other) {
                    if (std::find(first.begin(), first.end(), uchar(f[0])) == first.end())
                        first.push_back(uchar(f[0]));
                    if (f.size() < 2)
                        single = true;
                    else if (std::find(second.begin(), second.end(), uchar(f[1])) == second.end())
                        second.push_back(uchar(f[1]));
                }
                m_otherLengthsAlways = first.size() > 4 || second.size() > 4;
                m_otherLengthProbes.first = detail::makeProbe(0, first);
                m_otherLengthProbes.second = single ? m_otherLengthProbes.first : detail::makeProbe(1, second);
                // Within the prefix every form has the same length; offset 0 takes the first
                // byte of every form.
                m_prefixProbes = rarestProbes(std::max<qint64>(prefixLength, 1), [&](qint64 offset) {
                    if (offset == 0) {
                        std::vector<unsigned char> bytes = usualBytes[0];
                        for (const QByteArray &f : other)
                            bytes.push_back(uchar(f[0]));
                        std::sort(bytes.begin(), bytes.end());
                        bytes.erase(std::unique(bytes.begin(), bytes.end()), bytes.end());
                        return bytes;
                    }
                    return usualBytes[size_t(offset)];
                });
            }
            m_empty = false;
            return;
        }
    } else {
        const QByteArray ansi = text::toAnsi(text);
        if (caseSensitive) {
            m_mode = Mode::Bytes;
            m_bytes = ansi;
        } else {
            m_mode = Mode::AnsiFold;
            for (const char c : ansi)
                m_folded.append(char(text::ansiLower(uchar(c))));
            m_minLength = m_maxLength = m_folded.size();
            m_probes = rarestProbes(m_maxLength, [&](qint64 offset) {
                std::vector<unsigned char> forms;
                for (int b = 0; b < 256; ++b)
                    if (text::ansiLower(uchar(b)) == uchar(m_folded[offset]))
                        forms.push_back(uchar(b));
                return forms;
            });
            m_empty = m_folded.isEmpty();
            return;
        }
    }
    // Exact bytes.
    if (m_bytes.isEmpty())
        return;
    m_minLength = m_maxLength = m_bytes.size();
    m_probes = rarestProbes(m_maxLength, [&](qint64 offset) {
        return std::vector<unsigned char> {uchar(m_bytes[offset])};
    }, m_charSize);
    m_empty = false;
}

uint32_t PatternMatcher::unitAt(const unsigned char *p) const
{
    return m_bigEndian ? (uint32_t(p[0]) << 8 | p[1]) : (uint32_t(p[1]) << 8 | p[0]);
}

qint64 PatternMatcher::matchBody(const unsigned char *p, qint64 available) const
{
    switch (m_mode) {
    case Mode::Bytes:
        if (available < m_bytes.size() || std::memcmp(p, m_bytes.constData(), m_bytes.size()) != 0)
            return -1;
        return m_bytes.size();
    case Mode::AnsiFold:
        if (available < m_folded.size())
            return -1;
        for (qsizetype i = 0; i < m_folded.size(); ++i)
            if (text::ansiLower(p[i]) != uchar(m_folded[i]))
                return -1;
        return m_folded.size();
    case Mode::Utf8Fold: {
        qint64 q = 0;
        for (const uint32_t target : m_targets) {
            if (q >= available)
                return -1;
            const DecodedCodePoint cp = decodeUtf8(p + q, available - q);
            if (foldCodePoint(cp.value) != target)
                return -1;
            q += cp.length;
        }
        return q;
    }
    case Mode::UnitsFold: {
        const qint64 length = 2 * qint64(m_targets.size());
        if (available < length)
            return -1;
        for (size_t i = 0; i < m_targets.size(); ++i)
            if (QChar(char16_t(unitAt(p + 2 * i))).toLower().unicode() != m_targets[i])
                return -1;
        return length;
    }
    }
    return -1;
}

bool PatternMatcher::wordEdgesOk(const unsigned char *window, qint64 base, qint64 size,
                                 qint64 fileSize, qint64 pos, qint64 length) const
{
    if (!m_wholeWords)
        return true;
    auto codeAt = [&](qint64 offset) -> uint32_t {
        const unsigned char *p = window + (offset - base);
        return m_charSize == 1 ? uint32_t(*p) : unitAt(p);
    };
    if (pos >= m_charSize) {
        // The window always holds the character before a candidate unless it starts the file.
        if (pos - m_charSize < base || !isWordSeparator(codeAt(pos - m_charSize)))
            return false;
    }
    const qint64 end = pos + length;
    if (end + m_charSize <= fileSize) {
        if (end + m_charSize > base + size || !isWordSeparator(codeAt(end)))
            return false;
    }
    return true;
}

qint64 PatternMatcher::matchAt(const unsigned char *window, qint64 base, qint64 size,
                               qint64 fileSize, qint64 pos) const
{
    if (m_empty || pos < base || pos >= base + size || pos % m_charSize != 0)
        return -1;
    const qint64 length = matchBody(window + (pos - base), base + size - pos);
    if (length < 0 || !wordEdgesOk(window, base, size, fileSize, pos, length))
        return -1;
    return length;
}

qint64 PatternMatcher::scanCandidates(const unsigned char *w, qint64 base, qint64 size,
                                      qint64 fileSize, qint64 from, qint64 to,
                                      qint64 &length) const
{
    auto verify = [&](qint64 at) -> bool {
        const qint64 pos = base + at;
        if (pos % m_charSize != 0)
            return false;
        length = matchAt(w, base, size, fileSize, pos);
        return length >= 0;
    };
    const qint64 last = to - base;
    // The filter reads a few bytes past a candidate; the candidates whose filter bytes
    // would lie beyond the window are verified one by one.
    auto filtered = [&](qint64 lo, qint64 hi, const ProbePair &probes) -> qint64 {
        const qint64 safe = std::min(hi, size - 1 - probes.reach());
        const qint64 at = vespira::scanCandidates(w, lo, safe, probes, verify);
        if (at >= 0)
            return at;
        for (qint64 i = std::max(lo, safe + 1); i <= hi; ++i)
            if (verify(i))
                return i;
        return -1;
    };
    if (!m_otherLengths) {
        const qint64 at = filtered(from - base, last, m_probes);
        return at < 0 ? -1 : base + at;
    }
    // Stretches without a form of another length take the full filter, the others the
    // prefix filter.
    constexpr qint64 Stretch = 64 * 1024;
    for (qint64 lo = from - base; lo <= last; lo += Stretch) {
        const qint64 hi = std::min(last, lo + Stretch - 1);
        bool other = m_otherLengthsAlways;
        if (!other) {
            const qint64 reachEnd = std::min(size - 1, hi + m_maxLength - 1);
            const qint64 safe = reachEnd - m_otherLengthProbes.reach();
            other = vespira::scanCandidates(w, lo, safe, m_otherLengthProbes, [](qint64) { return true; }) >= 0;
            for (qint64 i = std::max(lo, safe + 1); !other && i <= reachEnd; ++i)
                other = w[i] == m_otherLengthProbes.first.forms[0] || w[i] == m_otherLengthProbes.first.forms[1]
                    || w[i] == m_otherLengthProbes.first.forms[2] || w[i] == m_otherLengthProbes.first.forms[3];
        }
        const qint64 at = filtered(lo, hi, other ? m_prefixProbes : m_probes);
        if (at >= 0)
            return base + at;
    }
    return -1;
}

qint64 PatternMatcher::findForward(const unsigned char *window, qint64 base, qint64 size,
                                   qint64 fileSize, qint64 from, qint64 to, qint64 &length) const
{
    length = 0;
    if (m_empty || from > to)
        return -1;
    return scanCandidates(window, base, size, fileSize, from, to, length);
}

qint64 PatternMatcher::findBackward(const unsigned char *window, qint64 base, qint64 size,
                                    qint64 fileSize, qint64 from, qint64 to, qint64 &length) const
{
    length = 0;
    if (m_empty)
        return -1;
    for (qint64 pos = to; pos >= from; --pos) {
        const qint64 found = matchAt(window, base, size, fileSize, pos);
        if (found >= 0) {
            length = found;
            return pos;
        }
    }
    return -1;
}

const PatternMatcher &cachedMatcher(const QString &text, TTextEncoding encoding, bool caseSensitive,
                                    bool wholeWords)
{
    struct Entry
    {
        QString text;
        TTextEncoding encoding;
        bool caseSensitive;
        bool wholeWords;
        std::unique_ptr<PatternMatcher> matcher;
    };
    static thread_local std::array<Entry, 4> entries;
    static thread_local size_t next = 0;
    for (Entry &e : entries)
        if (e.matcher && e.encoding == encoding && e.caseSensitive == caseSensitive
            && e.wholeWords == wholeWords && e.text == text)
            return *e.matcher;
    Entry &e = entries[next];
    next = (next + 1) % entries.size();
    e = {text, encoding, caseSensitive, wholeWords,
         std::make_unique<PatternMatcher>(text, encoding, caseSensitive, wholeWords)};
    return *e.matcher;
}

} // namespace vespira::search
