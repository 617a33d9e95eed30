// The stream search and the matcher on arbitrary bytes. Every search is checked against
// plain references, and any difference aborts:
// - the matcher tried at every aligned offset of the whole file at once (so window edges,
//   block sizes and the candidate filter change nothing);
// - forward with a tiny block, forward with the usual block, and backward reversed;
// - for a file that decodes cleanly, a scan over the decoded text code point by code point.
// Input: encoding, options, block size, pattern length, pattern bytes, then the file.

#include "core/search/linereader.h"
#include "core/search/streamsearch.h"

#include <QBuffer>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace vespira::search;

namespace {

using Matches = std::vector<std::pair<qint64, qint64>>;

Matches run(const QByteArray &file, const QString &pattern, TTextEncoding encoding, int options,
            int blockSize, bool backward)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    TStreamSearch search(blockSize);
    search.setStream(&buffer);
    Matches found;
    bool ok = search.FindFirst(pattern, 0, encoding, options | (backward ? soBackward : 0));
    while (ok) {
        if (found.size() > size_t(file.size()) + 1)
            std::abort(); // a search that does not advance
        found.emplace_back(search.FoundStart(), search.FoundLength());
        ok = backward ? search.FindPrevious() : search.FindNext();
    }
    if (backward)
        std::reverse(found.begin(), found.end());
    return found;
}

Matches brute(const QByteArray &file, const QString &pattern, TTextEncoding encoding, int options)
{
    const PatternMatcher matcher(pattern, encoding, options & soCaseSensitive, options & soWholeWords);
    Matches found;
    const int cs = matcher.charSize();
    const qint64 size = file.size();
    if (matcher.isEmpty() || size < cs)
        return found;
    const auto *data = reinterpret_cast<const unsigned char *>(file.constData());
    for (qint64 pos = 0; pos + cs <= size; pos += cs) {
        const qint64 length = matcher.matchAt(data, 0, size, size, pos);
        if (length >= 0) {
            if (length == 0 || pos + length > size)
                std::abort();
            found.emplace_back(pos, length);
        }
    }
    return found;
}

// Every match in decoded text: units are code points (UTF-8) or UTF-16 code units.
Matches decodedScan(const QString &text, const QString &pattern, bool utf8, bool caseSensitive,
                    bool wholeWords)
{
    struct Unit
    {
        char32_t code;
        qint64 offset;
        qint64 length;
    };
    std::vector<Unit> units;
    qint64 offset = 0;
    std::vector<char32_t> needle;
    if (utf8) {
        for (const char32_t c : text.toUcs4()) {
            const qint64 n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            units.push_back({c, offset, n});
            offset += n;
        }
        for (const char32_t c : pattern.toUcs4())
            needle.push_back(c);
    } else {
        for (const QChar ch : text) {
            units.push_back({ch.unicode(), offset, 2});
            offset += 2;
        }
        for (const QChar ch : pattern)
            needle.push_back(ch.unicode());
    }
    const auto same = [&](char32_t a, char32_t b) {
        return caseSensitive ? a == b : QChar::toLower(a) == QChar::toLower(b);
    };
    Matches found;
    for (size_t i = 0; !needle.empty() && i + needle.size() <= units.size(); ++i) {
        bool ok = true;
        for (size_t k = 0; k < needle.size() && ok; ++k)
            ok = same(units[i + k].code, needle[k]);
        if (!ok)
            continue;
        const size_t end = i + needle.size();
        if (wholeWords
            && ((i > 0 && !isWordSeparator(uint32_t(units[i - 1].code)))
                || (end < units.size() && !isWordSeparator(uint32_t(units[end].code)))))
            continue;
        found.emplace_back(units[i].offset, units[end - 1].offset + units[end - 1].length - units[i].offset);
    }
    return found;
}

[[noreturn]] void differ(const char *what, const Matches &got, const Matches &want)
{
    std::fprintf(stderr, "%s differs from the reference\n got:", what);
    for (const auto &m : got)
        std::fprintf(stderr, " %lld+%lld", static_cast<long long>(m.first), static_cast<long long>(m.second));
    std::fprintf(stderr, "\nwant:");
    for (const auto &m : want)
        std::fprintf(stderr, " %lld+%lld", static_cast<long long>(m.first), static_cast<long long>(m.second));
    std::fprintf(stderr, "\n");
    std::abort();
}

void expectSame(const char *what, const Matches &got, const Matches &want)
{
    if (got != want)
        differ(what, got, want);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    static const TTextEncoding encodings[] = {vEncANSI, vEncUTF8, vEncUnicodeLE, vEncUnicodeBE};
    const TTextEncoding encoding = encodings[data[0] % 4];
    const int options = data[1] & (soCaseSensitive | soWholeWords);
    const int blockSize = 1 + data[2] % 16;
    const size_t patternBytes = std::min<size_t>(data[3] % 24, size - 4);
    const char *p = reinterpret_cast<const char *>(data + 4);
    const bool wide = encoding == vEncUnicodeLE || encoding == vEncUnicodeBE;
    QString pattern;
    if (wide) {
        for (size_t i = 0; i + 1 < patternBytes; i += 2)
            pattern.append(QChar(char16_t(uint8_t(p[i]) | uint8_t(p[i + 1]) << 8)));
    } else {
        pattern = QString::fromUtf8(p, qsizetype(patternBytes));
    }
    const QByteArray file(p + patternBytes, qsizetype(size - 4 - patternBytes));

    const Matches reference = brute(file, pattern, encoding, options);
    expectSame("forward, small blocks", run(file, pattern, encoding, options, blockSize, false), reference);
    expectSame("forward", run(file, pattern, encoding, options, TStreamSearch::DefaultBlockSize, false), reference);
    expectSame("backward, small blocks", run(file, pattern, encoding, options, blockSize, true), reference);

    const bool cs = options & soCaseSensitive, ww = options & soWholeWords;
    if (encoding == vEncUTF8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(file);
        if (!decoder.hasError() && !file.startsWith("\xEF\xBB\xBF"))
            expectSame("decoded UTF-8 scan", reference, decodedScan(text, pattern, true, cs, ww));
    } else if (wide) {
        QString text;
        const bool be = encoding == vEncUnicodeBE;
        for (qsizetype i = 0; i + 1 < file.size(); i += 2) {
            const auto a = uint8_t(file[i]), b = uint8_t(file[i + 1]);
            text.append(QChar(char16_t(be ? (a << 8 | b) : (b << 8 | a))));
        }
        expectSame("decoded UTF-16 scan", reference, decodedScan(text, pattern, false, cs, ww));
    }

    // The line around each match stays inside the file.
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    LineReader lines(buffer, wide ? 2 : 1, encoding == vEncUnicodeBE);
    for (const auto &m : reference) {
        const LineReader::Span span = lines.selectLine(m.first);
        if (span.start < 0 || span.length < 0 || span.start + span.length > file.size())
            std::abort();
        (void)lines.text(span);
    }
    (void)lines.selectLine(file.size());
    return 0;
}
