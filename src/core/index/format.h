#pragma once

// The layout of a trigram index file (NAME_UTF8Trigramme.idx, NAME_MHTTrigramme.idx); the
// database format document describes it for other programs. All numbers little endian.
//
//   header      64 bytes: magic, version, text kind, stamp of the collected file, Unicode
//               version of the case folding, CRC of the header
//   blocks      block starts as varint gaps (the first from 0)
//   postings    per trigram, in ascending order: varint count, then the block numbers as
//               varint gaps or as a bitmap over all blocks
//   directory   12 bytes per trigram: key (trigram << 8 | list encoding), list offset in
//               the postings, CRC of the list
//   pages       8 bytes per 1024 directory entries: first key, CRC of those entries
//   footer      56 bytes: counts, section offsets, CRCs, CRC of the footer, end magic
//
// Writers emit the sections in this order, so a file can be written front to back.

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <optional>

namespace vespira::index {

inline constexpr uint32_t FormatVersion = 1;
inline constexpr char HeaderMagic[9] = "VTRIGRAM";
inline constexpr char FooterMagic[9] = "VTRIGEND";
inline constexpr qint64 HeaderSize = 64;
inline constexpr qint64 FooterSize = 56;
inline constexpr qint64 DirectoryEntrySize = 12;
inline constexpr qint64 PageEntries = 1024;
inline constexpr qint64 PageIndexEntrySize = 8;

// What a collected file holds, and so how its text is folded into bytes.
enum class IndexedText : uint32_t {
    Utf8 = 1,    // NAME_UTF8Dokument.txt: UTF-8, folded per code point
    Utf16LE = 2, // NAME_MHTtext.txt: UTF-16 little endian, folded per unit
};

// How one posting list stores its block numbers.
enum class ListEncoding : uint8_t {
    Gaps = 0,   // varint of the first block, then varints of (block - previous block - 1)
    Bitmap = 1, // one bit per block of the file, lowest bit first
};

// Size, modification time and a digest of sampled bytes of a collected file.
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedMs = 0; // milliseconds since 1970, UTC
    std::array<uint8_t, 16> digest {};

    bool operator==(const FileStamp &) const = default;
};

struct Header
{
    IndexedText kind = IndexedText::Utf8;
    FileStamp stamp;
    uint32_t unicodeVersion = 0;
};

struct Footer
{
    uint32_t blockCount = 0;
    uint32_t trigramCount = 0;
    qint64 postingsOffset = 0;
    qint64 directoryOffset = 0;
    qint64 pageIndexOffset = 0;
    uint32_t blockTableCrc = 0;
    uint32_t pageIndexCrc = 0;
};

QByteArray encodeHeader(const Header &header);
QByteArray encodeFooter(const Footer &footer);

// nullopt when the bytes are no header or footer of this version (magic, CRC, values).
std::optional<Header> decodeHeader(QByteArrayView bytes);
std::optional<Footer> decodeFooter(QByteArrayView bytes);

// The Unicode version of the folding tables this build uses; an index folded with other
// tables is out of date.
uint32_t currentUnicodeVersion();

inline void appendU32(QByteArray &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

inline void appendU64(QByteArray &out, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out.append(char(v >> (8 * i)));
}

inline uint32_t readU32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t readU64(const unsigned char *p)
{
    return uint64_t(readU32(p)) | uint64_t(readU32(p + 4)) << 32;
}

// Varints: 7 bits a byte, lowest first, the high bit set on all but the last byte.
inline void appendVarint(QByteArray &out, uint64_t v)
{
    while (v >= 0x80) {
        out.append(char(v | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

inline int varintSize(uint64_t v)
{
    int n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

// Reads a varint at p, not beyond end, advancing p; false on a cut one or one above max.
inline bool readVarint(const unsigned char *&p, const unsigned char *end, uint64_t &value,
                       uint64_t max = 0xFFFFFFFFu)
{
    uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
        if (p >= end || shift > 63)
            return false;
        const unsigned char b = *p++;
        if (shift == 63 && b > 1)
            return false;
        v |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80))
            break;
    }
    if (v > max)
        return false;
    value = v;
    return true;
}

inline bool readVarint32(const unsigned char *&p, const unsigned char *end, uint32_t &value)
{
    uint64_t v = 0;
    if (!readVarint(p, end, v))
        return false;
    value = uint32_t(v);
    return true;
}

} // namespace vespira::index
