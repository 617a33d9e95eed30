#include "core/search/patternmatcher.h"

#include "core/common/text.h"

#include <QChar>

#include <cstring>
#include <mutex>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vespira::search {

namespace {

constexpr uint32_t InvalidTag = text::InvalidUtf8Tag;

// Code points whose lower case differs from themselves, grouped by that lower case.
const std::unordered_map<uint32_t, std::vector<uint32_t>> &upperPartners()
{
    static std::unordered_map<uint32_t, std::vector<uint32_t>> table;
    static std::once_flag once;
    std::call_once(once, [] {
        for (char32_t c = 0; c < 0x110000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const char32_t lower = QChar::toLower(c);
            if (lower != c)
                table[lower].push_back(c);
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

void addByte(std::array<bool, 256> &set, std::vector<unsigned char> &list, unsigned char b)
{
    if (!set[b]) {
        set[b] = true;
        list.push_back(b);
    }
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
            for (const QChar ch : text)
                m_targets.push_back(ch.toLower().unicode());
            auto classOf = [](char16_t u) {
                std::vector<char16_t> units;
                if (QChar::isSurrogate(u)) {
                    units.push_back(u);
                    return units;
                }
                for (const uint32_t c : caseClass(u))
                    if (c <= 0xFFFF && QChar(char16_t(c)).toLower().unicode() == QChar(u).toLower().unicode())
                        units.push_back(char16_t(c));
                return units;
            };
            for (const char16_t u : classOf(text.front().unicode()))
                addByte(m_first, m_firstList, (uchar)(m_bigEndian ? u >> 8 : u & 0xFF));
            for (const char16_t u : classOf(text.back().unicode()))
                addByte(m_last, m_lastList, (uchar)(m_bigEndian ? u & 0xFF : u >> 8));
            m_minLength = m_maxLength = m_filterLength = 2 * qint64(text.size());
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
            std::vector<std::vector<uint32_t>> classes;
            for (qint64 i = 0; i < utf8.size();) {
                const DecodedCodePoint cp = decodeUtf8(d + i, utf8.size() - i);
                m_targets.push_back(foldCodePoint(cp.value));
                classes.push_back(cp.value >= InvalidTag ? std::vector<uint32_t> {cp.value}
                                                         : caseClass(cp.value));
                i += cp.length;
            }
            bool uniform = true;
            const std::vector<uint32_t> *lastUniform = nullptr;
            for (const auto &members : classes) {
                qint64 shortest = 4, longest = 1;
                for (const uint32_t c : members) {
                    const qint64 n = c >= InvalidTag ? 1 : utf8Of(c).size();
                    shortest = std::min(shortest, n);
                    longest = std::max(longest, n);
                }
                m_minLength += shortest;
                m_maxLength += longest;
                uniform = uniform && shortest == longest;
                if (uniform) {
                    m_filterLength += shortest;
                    lastUniform = &members;
                }
            }
            for (const uint32_t c : classes.front())
                addByte(m_first, m_firstList,
                        c >= InvalidTag ? uchar(c - InvalidTag) : uchar(utf8Of(c).front()));
            if (lastUniform)
                for (const uint32_t c : *lastUniform)
                    addByte(m_last, m_lastList,
                            c >= InvalidTag ? uchar(c - InvalidTag) : uchar(utf8Of(c).back()));
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
            for (int b = 0; b < 256; ++b) {
                if (text::ansiLower(uchar(b)) == uchar(m_folded.front()))
                    addByte(m_first, m_firstList, uchar(b));
                if (text::ansiLower(uchar(b)) == uchar(m_folded.back()))
                    addByte(m_last, m_lastList, uchar(b));
            }
            m_minLength = m_maxLength = m_filterLength = m_folded.size();
            m_empty = m_folded.isEmpty();
            return;
        }
    }
    // Exact bytes.
    if (m_bytes.isEmpty())
        return;
    addByte(m_first, m_firstList, uchar(m_bytes.front()));
    addByte(m_last, m_lastList, uchar(m_bytes.back()));
    m_minLength = m_maxLength = m_filterLength = m_bytes.size();
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
    qint64 i = from - base;
    const qint64 stop = to - base; // inclusive
    const qint64 lastOffset = m_filterLength > 0 ? m_filterLength - 1 : 0;
    const bool checkLast = m_filterLength > 0;
    auto tryAt = [&](qint64 at) -> bool {
        const qint64 pos = base + at;
        if (pos % m_charSize != 0)
            return false;
        length = matchAt(w, base, size, fileSize, pos);
        return length >= 0;
    };

#if defined(__SSE2__)
    if (checkLast && m_firstList.size() <= 3 && m_lastList.size() <= 3) {
        __m128i f[3], l[3];
        for (int k = 0; k < 3; ++k) {
            f[k] = _mm_set1_epi8(char(m_firstList[std::min<size_t>(k, m_firstList.size() - 1)]));
            l[k] = _mm_set1_epi8(char(m_lastList[std::min<size_t>(k, m_lastList.size() - 1)]));
        }
        while (i + 16 <= stop + 1 && i + lastOffset + 16 <= size) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(w + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(w + i + lastOffset));
            const __m128i ma = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, f[0]), _mm_cmpeq_epi8(a, f[1])),
                                            _mm_cmpeq_epi8(a, f[2]));
            const __m128i mb = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, l[0]), _mm_cmpeq_epi8(b, l[1])),
                                            _mm_cmpeq_epi8(b, l[2]));
            unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(ma, mb)));
            while (mask != 0) {
                const int bit = __builtin_ctz(mask);
                if (tryAt(i + bit))
                    return base + i + bit;
                mask &= mask - 1;
            }
            i += 16;
        }
    }
#endif
    if (!checkLast && m_firstList.size() == 1) {
        const unsigned char first = m_firstList.front();
        while (i <= stop) {
            const void *hit = std::memchr(w + i, first, size_t(stop - i + 1));
            if (!hit)
                return -1;
            i = static_cast<const unsigned char *>(hit) - w;
            if (tryAt(i))
                return base + i;
            ++i;
        }
        return -1;
    }
    for (; i <= stop; ++i) {
        if (!m_first[w[i]])
            continue;
        if (checkLast && (i + lastOffset >= size || !m_last[w[i + lastOffset]]))
            continue;
        if (tryAt(i))
            return base + i;
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

} // namespace vespira::search
