#include "core/index/checksum.h"

#include <array>

namespace vespira::index {

namespace {

constexpr std::array<uint32_t, 256> makeTable()
{
    std::array<uint32_t, 256> table {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> Table = makeTable();

} // namespace

uint32_t crc32(QByteArrayView bytes, uint32_t crc)
{
    crc = ~crc;
    for (const char ch : bytes)
        crc = Table[(crc ^ uchar(ch)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

} // namespace vespira::index
