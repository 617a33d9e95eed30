#pragma once

// The text as the index sees it: folded with the matching's case folding and spelled as
// bytes, so one index serves searches with and without case and whole words. A UTF-8
// collected file folds per code point (an invalid byte stays itself); a UTF-16 file folds
// per 16-bit unit, each unit spelled in the 1 to 3 bytes UTF-8 would give it (surrogates
// included). Either spelling gives every unit or code point its own byte string, no one of
// which starts another, so text T occurs in a folded block only if its folded bytes do.
//
// A trigram is three consecutive folded bytes, as a number (first byte highest). Trigrams
// holding CR or LF are never stored: an occurrence of a search text is looked up by the part
// of the text before its first line end, which always lies within one line and so within
// one block.

#include "core/index/format.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace vespira::index {

// Folded spellings of all 65536 units, built once from the matching's folding.
class FoldTable
{
public:
    static const FoldTable &instance();

    // The folded bytes of a UTF-16 unit or of a code point below 0x10000, in bytes[0..length).
    const unsigned char *bytes(uint32_t unit) const { return m_bytes[unit].data(); }
    int length(uint32_t unit) const { return m_length[unit]; }

private:
    FoldTable();
    std::vector<std::array<unsigned char, 4>> m_bytes;
    std::vector<uint8_t> m_length;
};

// Spells code (a folded code point or unit, below 0x110000) in UTF-8 form into out;
// returns the number of bytes (1 to 4).
int spell(uint32_t code, unsigned char *out);

// The folded bytes of a search text as the matching reads it in a collected file of the
// kind, up to its first CR or LF.
QByteArray foldedSearchBytes(const QString &text, IndexedText kind);

// The distinct trigrams of folded bytes, ascending.
std::vector<uint32_t> trigramsOf(QByteArrayView folded);

} // namespace vespira::index
