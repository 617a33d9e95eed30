#include "core/index/format.h"

#include "core/index/checksum.h"

#include <QChar>

#include <cstring>

namespace vespira::index {

namespace {

const unsigned char *bytesOf(QByteArrayView v)
{
    return reinterpret_cast<const unsigned char *>(v.data());
}

} // namespace

uint32_t currentUnicodeVersion()
{
    return uint32_t(QChar::currentUnicodeVersion());
}

QByteArray encodeHeader(const Header &h)
{
    QByteArray out(HeaderMagic, 8);
    appendU32(out, FormatVersion);
    appendU32(out, uint32_t(h.kind));
    appendU64(out, uint64_t(h.stamp.size));
    appendU64(out, uint64_t(h.stamp.modifiedMs));
    out.append(reinterpret_cast<const char *>(h.stamp.digest.data()), qsizetype(h.stamp.digest.size()));
    appendU32(out, h.unicodeVersion);
    appendU32(out, 0);
    appendU32(out, 0);
    appendU32(out, crc32(out));
    return out;
}

std::optional<Header> decodeHeader(QByteArrayView bytes)
{
    if (bytes.size() < HeaderSize)
        return std::nullopt;
    const unsigned char *p = bytesOf(bytes);
    if (std::memcmp(p, HeaderMagic, 8) != 0 || readU32(p + 60) != crc32(bytes.first(60))
        || readU32(p + 8) != FormatVersion || readU32(p + 52) != 0 || readU32(p + 56) != 0)
        return std::nullopt;
    Header h;
    const uint32_t kind = readU32(p + 12);
    if (kind != uint32_t(IndexedText::Utf8) && kind != uint32_t(IndexedText::Utf16LE))
        return std::nullopt;
    h.kind = IndexedText(kind);
    h.stamp.size = qint64(readU64(p + 16));
    h.stamp.modifiedMs = qint64(readU64(p + 24));
    std::memcpy(h.stamp.digest.data(), p + 32, h.stamp.digest.size());
    h.unicodeVersion = readU32(p + 48);
    if (h.stamp.size < 0)
        return std::nullopt;
    return h;
}

QByteArray encodeFooter(const Footer &f)
{
    QByteArray out;
    appendU32(out, f.blockCount);
    appendU32(out, f.trigramCount);
    appendU64(out, uint64_t(f.postingsOffset));
    appendU64(out, uint64_t(f.directoryOffset));
    appendU64(out, uint64_t(f.pageIndexOffset));
    appendU32(out, f.blockTableCrc);
    appendU32(out, f.pageIndexCrc);
    appendU32(out, 0);
    appendU32(out, crc32(out));
    out.append(FooterMagic, 8);
    return out;
}

std::optional<Footer> decodeFooter(QByteArrayView bytes)
{
    if (bytes.size() != FooterSize)
        return std::nullopt;
    const unsigned char *p = bytesOf(bytes);
    if (std::memcmp(p + 48, FooterMagic, 8) != 0 || readU32(p + 44) != crc32(bytes.first(44))
        || readU32(p + 40) != 0)
        return std::nullopt;
    Footer f;
    f.blockCount = readU32(p);
    f.trigramCount = readU32(p + 4);
    const uint64_t postings = readU64(p + 8), directory = readU64(p + 16), pages = readU64(p + 24);
    // Offsets beyond any file we could map are damage, and would overflow below.
    if (postings > (uint64_t(1) << 48) || directory > (uint64_t(1) << 48) || pages > (uint64_t(1) << 48))
        return std::nullopt;
    f.postingsOffset = qint64(postings);
    f.directoryOffset = qint64(directory);
    f.pageIndexOffset = qint64(pages);
    f.blockTableCrc = readU32(p + 32);
    f.pageIndexCrc = readU32(p + 36);
    return f;
}

} // namespace vespira::index
