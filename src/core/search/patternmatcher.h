#pragma once

// Compares a search text against bytes of a collected text file in one encoding and with
// the search options: exact, case-folded (windows-1252, UTF-8 code points, UTF-16 units)
// and whole words. Knows nothing about files: the stream search hands it windows of bytes.
//
// Invariants: a window is a span of the file [base, base + size); candidate positions are
// file offsets aligned to the character size; the character before and after a match are
// taken from the window, which the caller makes wide enough (or which reaches the file's
// start or end), so whole words never depend on where a window happens to begin or end.

#include "core/common/casefold.h"
#include "core/common/bytescan.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace vespira::search {

// The encodings the stream search knows. The numbers of the first three are those of the
// viewer family's code-page list; Utf8 is our own addition for the UTF-8 collected file,
// where case is folded per code point.
enum TTextEncoding : int {
    vEncANSI = 0,
    vEncUnicodeLE = 71,
    vEncUnicodeBE = 72,
    vEncUTF8 = 73,
};

// Option bits of a search.
enum StreamSearchOption : int {
    soCaseSensitive = 1,
    soWholeWords = 2,
    soBackward = 4,
};

// Characters that end a word: controls, blank and punctuation below '0', ":;<=>?@",
// "[\]^", "`" and "{|}~" plus DEL. Digits, ASCII letters, "_" and every code from 128 are
// word characters.
constexpr bool isWordSeparator(uint32_t code)
{
    return code < 48 || (code >= 58 && code <= 64) || (code >= 91 && code <= 94) || code == 96
        || (code >= 123 && code <= 127);
}

// The matching's decoding and folding (shared with the trigram index).
using text::DecodedCodePoint;
using text::decodeUtf8;
using text::foldCodePoint;

// Every code point whose lower case is the lower case of code (code itself included when
// it is its own lower case).
std::vector<uint32_t> caseClass(uint32_t code);

// [from, to) of code points.
struct CodeRange
{
    char32_t from = 0;
    char32_t to = 0;
};
// The Unicode version whose letters with case casedRanges() knows where to find.
inline constexpr QChar::UnicodeVersion KnownCasedRangesVersion = QChar::Unicode_14_0;
// Where every code point whose lower case differs from itself stands (surrogates left
// out): a short list for KnownCasedRangesVersion, else the first two planes.
std::span<const CodeRange> casedRanges();

class PatternMatcher
{
public:
    PatternMatcher(const QString &text, TTextEncoding encoding, bool caseSensitive, bool wholeWords);

    bool isEmpty() const { return m_empty; }
    int charSize() const { return m_charSize; }
    // Shortest and longest match in bytes (they differ only for folded UTF-8, where "k"
    // also matches the three bytes of the Kelvin sign).
    qint64 minLength() const { return m_minLength; }
    qint64 maxLength() const { return m_maxLength; }

    // The length in bytes of a match at file offset pos, or -1. window holds the file's
    // bytes [base, base + size); fileSize tells whether a window edge is the file's edge.
    qint64 matchAt(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize,
                   qint64 pos) const;

    // The first match with its start in [from, to] (file offsets, to inclusive), scanning
    // forward; -1 when there is none. Sets length.
    qint64 findForward(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize,
                       qint64 from, qint64 to, qint64 &length) const;

    // The last match with its start in [from, to], scanning backward.
    qint64 findBackward(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize,
                        qint64 from, qint64 to, qint64 &length) const;

private:
    enum class Mode { Bytes, AnsiFold, Utf8Fold, UnitsFold };

    qint64 matchBody(const unsigned char *p, qint64 available) const;
    bool wordEdgesOk(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize,
                     qint64 pos, qint64 length) const;
    uint32_t unitAt(const unsigned char *p) const;
    qint64 scanCandidates(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize,
                          qint64 from, qint64 to, qint64 &length) const;

    Mode m_mode = Mode::Bytes;
    bool m_empty = true;
    bool m_wholeWords = false;
    bool m_bigEndian = false;
    int m_charSize = 1;
    qint64 m_minLength = 0;
    qint64 m_maxLength = 0;

    QByteArray m_bytes;                 // Bytes: the pattern as the file holds it
    QByteArray m_folded;                // AnsiFold: the pattern in 8-bit lower case
    std::vector<uint32_t> m_targets;    // Utf8Fold, UnitsFold: lower case per code point / unit

    // The candidate filter of a match in which every character has its usual length (the
    // length of its lower case in UTF-8; every match elsewhere).
    ProbePair m_probes;
    // Folded UTF-8 only: the first two bytes of the forms of another length (the Kelvin sign
    // for "k", say). Where one of them is near, m_prefixProbes filter instead: they stay
    // within the start of a match whose length is the same in every match.
    bool m_otherLengths = false;
    bool m_otherLengthsAlways = false; // too many forms to filter for
    ProbePair m_otherLengthProbes;
    ProbePair m_prefixProbes;
};

// A matcher for the arguments, made once and kept while it is asked for again: the search
// loop alternates between the document marker and the search text thousands of times, and
// building a matcher (case classes, filter bytes) costs more than the scan between two
// hits. Holds the last few; the reference is valid until the next call.
const PatternMatcher &cachedMatcher(const QString &text, TTextEncoding encoding, bool caseSensitive,
                                    bool wholeWords);

} // namespace vespira::search
