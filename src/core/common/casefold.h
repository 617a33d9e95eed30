#pragma once

// Case folding of the matching, in one place: the search compares folded code points (UTF-8
// collected file) and folded units (UTF-16 collected file), and the trigram index stores the
// trigrams of text folded the same way. Both must fold alike, or the index would drop blocks
// the scan finds.

#include <QtGlobal>

#include <cstdint>

namespace vespira::text {

// decodeUtf8 tags a byte that starts no valid sequence as InvalidUtf8Tag + byte.
inline constexpr uint32_t InvalidUtf8Tag = 0x110000;

// One code point of UTF-8 at data[0..available): its value and length in bytes. An invalid,
// overlong or truncated sequence gives the single byte tagged as 0x110000 + byte, which
// equals nothing a valid text can hold.
struct DecodedCodePoint
{
    uint32_t value;
    int length;
};
DecodedCodePoint decodeUtf8(const unsigned char *data, qint64 available);

// Lower case of one code point, one to one (QChar::toLower). Tagged bytes stay as they are.
// A UTF-16 unit folds the same way: surrogates have no case and stay.
uint32_t foldCodePoint(uint32_t code);

} // namespace vespira::text
