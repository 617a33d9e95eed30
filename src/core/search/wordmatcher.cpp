#include "core/search/wordmatcher.h"

#include <algorithm>
#include <set>

namespace vespira::search {

namespace {

using Slot = WordMatcher::Slot;

constexpr uint32_t InvalidTag = text::InvalidUtf8Tag;

int utf8Length(uint32_t code)
{
    if (code >= InvalidTag || code < 0x80)
        return 1;
    return code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

// The spelled-out reading of one character: one slot, or two for an umlaut or ß. Without
// case, everything is read in lower case first.
int spellOut(uint32_t code, bool caseSensitive, bool umlauts, Slot out[2])
{
    if (!caseSensitive)
        code = foldCodePoint(code);
    out[0] = {code, false, 0};
    if (!umlauts)
        return 1;
    auto two = [&](char16_t first, char16_t second, bool firstAnyCase, bool secondAnyCase) {
        out[0] = {first, firstAnyCase, 0};
        out[1] = {second, secondAnyCase, 0};
        return 2;
    };
    switch (code) {
    case 0xE4: return two(u'a', u'e', false, false); // ä
    case 0xF6: return two(u'o', u'e', false, false); // ö
    case 0xFC: return two(u'u', u'e', false, false); // ü
    case 0xC4: return two(u'A', u'e', false, true);  // Ä: "Ae" or "AE"
    case 0xD6: return two(u'O', u'e', false, true);
    case 0xDC: return two(u'U', u'e', false, true);
    case 0xDF: return two(u's', u's', true, true);   // ß stands in capitals too: "STRAßE"
    case 0x1E9E: return two(u'S', u'S', true, true); // ẞ
    default: return 1;
    }
}

bool sameSlot(const Slot &word, const Slot &document)
{
    return word.code == document.code
        || ((word.anyCase || document.anyCase) && foldCodePoint(word.code) == foldCodePoint(document.code));
}

// Two slots of the word that one umlaut of the document may stand for.
bool umlautPair(const Slot &a, const Slot &b)
{
    const uint32_t first = foldCodePoint(a.code);
    const uint32_t second = foldCodePoint(b.code);
    return (second == u'e' && (first == u'a' || first == u'o' || first == u'u')) || (first == u's' && second == u's');
}

// Compares the slots against the characters nextChar reads (code and length from an offset;
// false at the end), and returns the length the match takes, or -1.
template <typename NextChar>
qint64 matchSlots(const std::vector<Slot> &spelled, bool caseSensitive, bool umlauts, NextChar &&nextChar)
{
    size_t i = 0;
    qint64 q = 0;
    while (i < spelled.size()) {
        uint32_t code = 0;
        int length = 0;
        if (!nextChar(q, code, length))
            return -1;
        Slot read[2];
        const int n = spellOut(code, caseSensitive, umlauts, read);
        if (i + size_t(n) > spelled.size())
            return -1; // the character reaches beyond the word: half an umlaut is no match
        for (int k = 0; k < n; ++k)
            if (!sameSlot(spelled[i + size_t(k)], read[k]))
                return -1;
        i += size_t(n);
        q += length;
    }
    return q;
}

std::vector<Slot> slotsOfUnits(const QString &word, bool caseSensitive, bool umlauts)
{
    std::vector<Slot> spelled;
    for (qsizetype i = 0; i < word.size(); ++i) {
        Slot read[2];
        const int n = spellOut(word.at(i).unicode(), caseSensitive, umlauts, read);
        for (int k = 0; k < n; ++k)
            spelled.push_back({read[k].code, read[k].anyCase, i});
    }
    return spelled;
}

} // namespace

WordMatcher::WordMatcher(const QString &word, TTextEncoding encoding, bool caseSensitive, bool wholeWords, bool umlauts)
    : m_caseSensitive {caseSensitive}
    , m_wholeWords {wholeWords}
{
    if (word.isEmpty())
        return;
    m_charSize = (encoding == vEncUnicodeLE || encoding == vEncUnicodeBE) ? 2 : 1;
    m_bigEndian = encoding == vEncUnicodeBE;
    if (!umlauts) {
        m_literal.emplace(word, encoding, caseSensitive, wholeWords);
        m_literalPart = word;
        m_empty = m_literal->isEmpty();
        m_minLength = m_literal->minLength();
        m_maxLength = m_literal->maxLength();
        return;
    }

    // The word spelled out; the 8-bit file searched is UTF-8.
    const QByteArray utf8 = word.toUtf8();
    if (m_charSize == 2) {
        m_slots = slotsOfUnits(word, caseSensitive, true);
    } else {
        const auto *d = reinterpret_cast<const unsigned char *>(utf8.constData());
        for (qint64 i = 0; i < utf8.size();) {
            const DecodedCodePoint cp = decodeUtf8(d + i, utf8.size() - i);
            Slot read[2];
            const int n = spellOut(cp.value, caseSensitive, true, read);
            for (int k = 0; k < n; ++k)
                m_slots.push_back({read[k].code, read[k].anyCase, qsizetype(i)});
            i += cp.length;
        }
    }
    const size_t n = m_slots.size();

    // Bytes a document may spend on each slot, alone or with the next as one umlaut; from
    // them the lengths a match may have up to each slot.
    std::vector<bool> paired(n, false);
    std::vector<std::set<qint64>> reach(n + 1);
    reach[0].insert(0);
    for (size_t k = 0; k < n; ++k) {
        std::set<qint64> alone;
        if (m_charSize == 2) {
            alone.insert(2);
        } else if (caseSensitive && !m_slots[k].anyCase) {
            alone.insert(utf8Length(m_slots[k].code));
        } else {
            for (const uint32_t c : caseClass(m_slots[k].code))
                alone.insert(utf8Length(c));
        }
        for (const qint64 before : reach[k])
            for (const qint64 l : alone)
                reach[k + 1].insert(before + l);
        if (k + 1 < n && umlautPair(m_slots[k], m_slots[k + 1])) {
            paired[k] = paired[k + 1] = true;
            std::set<qint64> together {2};
            if (m_charSize == 1 && foldCodePoint(m_slots[k].code) == u's')
                together.insert(3); // ẞ
            for (const qint64 before : reach[k])
                for (const qint64 l : together)
                    reach[k + 2].insert(before + l);
        }
    }
    m_minLength = *reach[n].begin();
    m_maxLength = *reach[n].rbegin();
    m_empty = n == 0;

    // The anchor: the longest stretch of slots no umlaut of the document can stand for.
    size_t best = 0, bestLength = 0;
    for (size_t k = 0; k < n;) {
        if (paired[k]) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end < n && !paired[end])
            ++end;
        if (end - k > bestLength) {
            best = k;
            bestLength = end - k;
        }
        k = end;
    }
    if (bestLength == 0)
        return;
    const qsizetype from = m_slots[best].source;
    const size_t last = best + bestLength;
    if (m_charSize == 2) {
        const qsizetype to = last < n ? m_slots[last].source : word.size();
        m_literalPart = word.mid(from, to - from);
    } else {
        const qsizetype to = last < n ? m_slots[last].source : utf8.size();
        m_literalPart = QString::fromUtf8(utf8.mid(from, to - from));
    }
    m_anchor.emplace(m_literalPart, encoding, caseSensitive, false);
    m_prefixLengths.assign(reach[best].rbegin(), reach[best].rend());
}

qint64 WordMatcher::matchAt(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize, qint64 pos) const
{
    if (pos < base || pos >= base + size || pos % m_charSize != 0)
        return -1;
    const unsigned char *p = window + (pos - base);
    const qint64 available = base + size - pos;
    auto unitAt = [this](const unsigned char *u) -> uint32_t {
        return m_bigEndian ? (uint32_t(u[0]) << 8 | u[1]) : (uint32_t(u[1]) << 8 | u[0]);
    };
    const qint64 length = matchSlots(m_slots, m_caseSensitive, true, [&](qint64 q, uint32_t &code, int &l) {
        if (q + m_charSize > available)
            return false;
        if (m_charSize == 2) {
            code = unitAt(p + q);
            l = 2;
        } else {
            const DecodedCodePoint cp = decodeUtf8(p + q, available - q);
            code = cp.value;
            l = cp.length;
        }
        return true;
    });
    if (length < 0 || !m_wholeWords)
        return length;
    // Whole words by the characters next to the match, as the literal search judges them.
    auto codeAt = [&](qint64 offset) -> uint32_t {
        const unsigned char *c = window + (offset - base);
        return m_charSize == 1 ? uint32_t(*c) : unitAt(c);
    };
    if (pos >= m_charSize && (pos - m_charSize < base || !isWordSeparator(codeAt(pos - m_charSize))))
        return -1;
    const qint64 end = pos + length;
    if (end + m_charSize <= fileSize && (end + m_charSize > base + size || !isWordSeparator(codeAt(end))))
        return -1;
    return length;
}

qint64 WordMatcher::findForward(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize, qint64 from,
                                qint64 to, qint64 &length) const
{
    length = 0;
    if (m_empty || from > to)
        return -1;
    if (m_literal)
        return m_literal->findForward(window, base, size, fileSize, from, to, length);
    const int cs = m_charSize;
    if (!m_anchor) {
        for (qint64 pos = from + (cs - from % cs) % cs; pos <= to; pos += cs) {
            const qint64 l = matchAt(window, base, size, fileSize, pos);
            if (l >= 0) {
                length = l;
                return pos;
            }
        }
        return -1;
    }
    // Every match holds the anchor some prefix length after its start; an anchor further on
    // may still belong to an earlier match while it lies within the longest prefix of it.
    const qint64 shortestPrefix = m_prefixLengths.back();
    const qint64 longestPrefix = m_prefixLengths.front();
    qint64 anchorFrom = from + shortestPrefix;
    qint64 anchorTo = std::min(to + longestPrefix, base + size - m_anchor->minLength());
    qint64 best = -1;
    while (anchorFrom <= anchorTo) {
        qint64 anchorLength = 0;
        const qint64 a = m_anchor->findForward(window, base, size, fileSize, anchorFrom, anchorTo, anchorLength);
        if (a < 0)
            break;
        for (const qint64 prefix : m_prefixLengths) { // earliest start first
            const qint64 start = a - prefix;
            if (start < from || start % cs != 0)
                continue;
            if (start > to || (best >= 0 && start >= best))
                break;
            const qint64 l = matchAt(window, base, size, fileSize, start);
            if (l >= 0) {
                best = start;
                length = l;
                break;
            }
        }
        if (best >= 0)
            anchorTo = std::min(anchorTo, best + longestPrefix - 1);
        anchorFrom = a + cs;
    }
    return best;
}

QList<TextSpan> findWords(const QString &text, const QStringList &words, bool caseSensitive, bool wholeWords,
                          bool umlauts)
{
    QList<TextSpan> spans;
    for (const QString &word : words) {
        const std::vector<Slot> spelled = slotsOfUnits(word, caseSensitive, umlauts);
        if (spelled.empty())
            continue;
        for (qsizetype i = 0; i < text.size();) {
            const qint64 length = matchSlots(spelled, caseSensitive, umlauts, [&](qint64 q, uint32_t &code, int &l) {
                if (i + q >= text.size())
                    return false;
                code = text.at(i + q).unicode();
                l = 1;
                return true;
            });
            const qsizetype end = i + qsizetype(length);
            const bool edges = length > 0
                && (!wholeWords
                    || ((i == 0 || isWordSeparator(text.at(i - 1).unicode()))
                        && (end >= text.size() || isWordSeparator(text.at(end).unicode()))));
            if (edges) {
                spans.append({i, qsizetype(length)});
                i = end;
            } else {
                ++i;
            }
        }
    }
    std::sort(spans.begin(), spans.end(), [](const TextSpan &a, const TextSpan &b) { return a.start < b.start; });
    QList<TextSpan> merged;
    for (const TextSpan &s : std::as_const(spans)) {
        if (!merged.isEmpty() && s.start <= merged.back().start + merged.back().length) {
            TextSpan &last = merged.back();
            last.length = std::max(last.start + last.length, s.start + s.length) - last.start;
        } else {
            merged.append(s);
        }
    }
    return merged;
}

} // namespace vespira::search
