#pragma once

// CRC-32 (the polynomial of zip and PNG) over the parts of an index file, so a damaged file
// reads as "no index" instead of as an index that leaves out blocks.

#include <QByteArrayView>

#include <cstdint>

namespace vespira::index {

// The CRC of bytes, continued from crc (0 for a fresh start).
uint32_t crc32(QByteArrayView bytes, uint32_t crc = 0);

} // namespace vespira::index
