#pragma once

// Matches one word of a search that goes beyond one literal text (the options "Alle Wörter"
// and "Umlaute gleichwertig"): as typed, with case and whole words as the options say, or
// with the umlauts equal to their spelled-out forms, ä = ae, ö = oe, ü = ue, ß = ss, in the
// search text and in the document alike.
//
// Spellings are compared through the spelled-out reading of both sides: every ä stands for
// "ae", every ß for "ss", so "Müller", "Mueller" and (case ignored) "MUELLER" all read
// "mueller". With case kept, a capital umlaut reads as its capital and an "e" of either case
// (Ä = "Ae" = "AE"), and ß, which has no case of its own in running text, as "ss" of either
// case ("STRAßE" = "STRASSE"). A match is made of whole characters of the document: "Mu"
// does not match the start of "Müller" and "Stras" not the start of "Straße", as half an
// umlaut is no letter.
//
// The scan looks for the longest stretch of the word that reads the same in every spelling
// (the anchor: "ller" of "Müller", "britannien" of "Großbritannien") with the literal
// candidate filter, and compares the whole word around each anchor it finds, so a word costs
// about what a literal search for its anchor costs. A word without such a stretch ("ss") is
// compared at every position.
//
//   const WordMatcher word(u"Müller"_s, vEncUTF8, false, true, true);
//   qint64 length = 0;
//   const qint64 at = word.findForward(window, base, size, fileSize, from, to, length);
//
// Windows, offsets and whole words follow PatternMatcher's rules (patternmatcher.h).

#include "core/common/hit.h"
#include "core/search/patternmatcher.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vespira::search {

class WordMatcher
{
public:
    WordMatcher(const QString &word, TTextEncoding encoding, bool caseSensitive, bool wholeWords, bool umlauts);

    bool isEmpty() const { return m_empty; }
    int charSize() const { return m_charSize; }
    // Shortest and longest match in bytes.
    qint64 minLength() const { return m_minLength; }
    qint64 maxLength() const { return m_maxLength; }
    // A text every match holds as it stands (case aside): the word itself, or with umlauts
    // its anchor; empty when there is none. A trigram index narrows the scan by it.
    const QString &literalPart() const { return m_literalPart; }

    // The first match with its start in [from, to], as PatternMatcher::findForward.
    qint64 findForward(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize, qint64 from, qint64 to,
                       qint64 &length) const;

    // One character of a spelled-out reading; anyCase: it stands for either case of itself
    // (the "e" of a capital umlaut, the "s" of ß).
    struct Slot
    {
        uint32_t code = 0;
        bool anyCase = false;
        qsizetype source = 0; // where its character starts in the word (bytes or units)
    };

private:
    qint64 matchAt(const unsigned char *window, qint64 base, qint64 size, qint64 fileSize, qint64 pos) const;

    bool m_empty = true;
    bool m_caseSensitive = false;
    bool m_wholeWords = false;
    bool m_bigEndian = false;
    int m_charSize = 1;
    qint64 m_minLength = 0;
    qint64 m_maxLength = 0;
    std::optional<PatternMatcher> m_literal; // without umlauts: the word as typed
    std::vector<Slot> m_slots;               // with umlauts: the word spelled out
    std::optional<PatternMatcher> m_anchor;  // none when no stretch reads alike everywhere
    QString m_literalPart;
    std::vector<qint64> m_prefixLengths;     // bytes before the anchor in a match, descending
};

// Where the words stand in a text (the context of a hit), for the bold marks: every
// occurrence of each word, in any spelling when umlauts is set, with case and whole words as
// the options say; overlapping ones merged, in text order.
QList<TextSpan> findWords(const QString &text, const QStringList &words, bool caseSensitive, bool wholeWords,
                          bool umlauts);

} // namespace vespira::search
