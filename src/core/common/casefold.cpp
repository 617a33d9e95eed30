#include "core/common/casefold.h"

#include <QChar>

namespace vespira::text {

DecodedCodePoint decodeUtf8(const unsigned char *d, qint64 available)
{
    const unsigned char b0 = d[0];
    if (b0 < 0x80)
        return {b0, 1};
    int length = 0;
    uint32_t value = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        value = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        value = b0 & 0x07;
    } else {
        return {InvalidUtf8Tag + b0, 1};
    }
    if (available < length)
        return {InvalidUtf8Tag + b0, 1};
    for (int i = 1; i < length; ++i) {
        if ((d[i] & 0xC0) != 0x80)
            return {InvalidUtf8Tag + b0, 1};
        value = (value << 6) | (d[i] & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) || value > 0x10FFFF
        || (value >= 0xD800 && value <= 0xDFFF))
        return {InvalidUtf8Tag + b0, 1};
    return {value, length};
}

uint32_t foldCodePoint(uint32_t code)
{
    if (code >= 0x110000)
        return code;
    return QChar::toLower(char32_t(code));
}

} // namespace vespira::text
