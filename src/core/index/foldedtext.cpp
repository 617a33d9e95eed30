#include "core/index/foldedtext.h"

#include "core/common/casefold.h"

#include <algorithm>

namespace vespira::index {

int spell(uint32_t code, unsigned char *out)
{
    if (code < 0x80) {
        out[0] = uchar(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = uchar(0xC0 | code >> 6);
        out[1] = uchar(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = uchar(0xE0 | code >> 12);
        out[1] = uchar(0x80 | ((code >> 6) & 0x3F));
        out[2] = uchar(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = uchar(0xF0 | code >> 18);
    out[1] = uchar(0x80 | ((code >> 12) & 0x3F));
    out[2] = uchar(0x80 | ((code >> 6) & 0x3F));
    out[3] = uchar(0x80 | (code & 0x3F));
    return 4;
}

FoldTable::FoldTable()
    : m_bytes(0x10000)
    , m_length(0x10000)
{
    for (uint32_t u = 0; u < 0x10000; ++u)
        m_length[u] = uint8_t(spell(text::foldCodePoint(u), m_bytes[u].data()));
}

const FoldTable &FoldTable::instance()
{
    static const FoldTable table;
    return table;
}

QByteArray foldedSearchBytes(const QString &text, IndexedText kind)
{
    // Folded unit by unit, as the table would: a search is over before the table is built.
    QByteArray out;
    unsigned char spelled[4];
    const auto add = [&](uint32_t code) {
        out.append(reinterpret_cast<const char *>(spelled), spell(text::foldCodePoint(code), spelled));
    };
    if (kind == IndexedText::Utf16LE) {
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u == u'\r' || u == u'\n')
                break;
            add(u);
        }
        return out;
    }
    // The matching spells the text in UTF-8 and folds what decoding that gives.
    const QByteArray utf8 = text.toUtf8();
    const auto *d = reinterpret_cast<const unsigned char *>(utf8.constData());
    for (qint64 i = 0; i < utf8.size();) {
        const text::DecodedCodePoint cp = text::decodeUtf8(d + i, utf8.size() - i);
        i += cp.length;
        if (cp.value == '\r' || cp.value == '\n')
            break;
        if (cp.value >= text::InvalidUtf8Tag)
            out.append(char(cp.value - text::InvalidUtf8Tag));
        else
            add(cp.value);
    }
    return out;
}

std::vector<uint32_t> trigramsOf(QByteArrayView folded)
{
    std::vector<uint32_t> trigrams;
    const auto *d = reinterpret_cast<const unsigned char *>(folded.data());
    for (qsizetype i = 0; i + 2 < folded.size(); ++i)
        trigrams.push_back(uint32_t(d[i]) << 16 | uint32_t(d[i + 1]) << 8 | d[i + 2]);
    std::sort(trigrams.begin(), trigrams.end());
    trigrams.erase(std::unique(trigrams.begin(), trigrams.end()), trigrams.end());
    return trigrams;
}

} // namespace vespira::index
