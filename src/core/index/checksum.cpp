#include "core/index/checksum.h"

#include <array>

namespace vespira::index {

namespace {

// Slicing by eight: eight tables let the loop take eight bytes a step, which matters when an
// update checks and writes every list of an index.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables makeTables()
{
    Tables t {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (size_t s = 1; s < 8; ++s)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr Tables T = makeTables();

} // namespace

uint32_t crc32(QByteArrayView bytes, uint32_t crc)
{
    crc = ~crc;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    qsizetype n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        const uint32_t lo = crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        crc = T[7][lo & 0xFF] ^ T[6][(lo >> 8) & 0xFF] ^ T[5][(lo >> 16) & 0xFF] ^ T[4][lo >> 24] ^ T[3][p[4]]
            ^ T[2][p[5]] ^ T[1][p[6]] ^ T[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        crc = T[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

} // namespace vespira::index
