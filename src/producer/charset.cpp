#include "producer/charset.h"

#include <QStringDecoder>

#include <uchardet/uchardet.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vespira::producer {

namespace {

constexpr qsizetype PrescanBytes = 4096;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

QByteArray lower(QByteArrayView v)
{
    return v.toByteArray().toLower();
}

// The value after "charset" or "encoding" inside one tag, skipping blanks, "=" and quotes.
QByteArray valueAfter(QByteArrayView tag, QByteArrayView key)
{
    qsizetype at = 0;
    while ((at = tag.indexOf(key, at)) >= 0) {
        qsizetype i = at + key.size();
        while (i < tag.size() && isBlank(tag[i]))
            ++i;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && (isBlank(tag[i]) || tag[i] == '"' || tag[i] == '\''))
                ++i;
            const qsizetype begin = i;
            while (i < tag.size()
                   && (std::isalnum(static_cast<unsigned char>(tag[i])) || tag[i] == '-' || tag[i] == '_'
                       || tag[i] == ':' || tag[i] == '.'))
                ++i;
            if (i > begin)
                return tag.sliced(begin, i - begin).toByteArray();
        }
        at += key.size();
    }
    return {};
}

// Names as the web reads them: Latin-1 and ASCII mean windows-1252, a UTF-16 label in
// a document readable as ASCII means UTF-8.
QByteArray normalise(QByteArray name)
{
    name = name.trimmed().toLower();
    if (name == "utf8" || name == "unicode-1-1-utf-8")
        return "utf-8";
    if (name == "iso-8859-1" || name == "iso8859-1" || name == "latin1" || name == "l1" || name == "us-ascii"
        || name == "ascii" || name == "x-user-defined" || name == "cp1252" || name == "iso_8859-1")
        return "windows-1252";
    if (name.startsWith("utf-16") || name.startsWith("utf16"))
        return "utf-8";
    return name;
}

// UTF-16 without a byte-order mark shows as ASCII with a NUL in every other byte.
QByteArray utf16Guess(QByteArrayView head)
{
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i + 1 < head.size(); i += 2) {
        evenZeros += head[i] == 0;
        oddZeros += head[i + 1] == 0;
    }
    const qsizetype pairs = head.size() / 2;
    if (pairs == 0)
        return {};
    if (oddZeros * 10 > pairs * 3 && evenZeros * 50 < pairs)
        return "utf-16le";
    if (evenZeros * 10 > pairs * 3 && oddZeros * 50 < pairs)
        return "utf-16be";
    return {};
}

QByteArray detect(QByteArrayView bytes)
{
    uchardet_t detector = uchardet_new();
    const qsizetype sample = std::min<qsizetype>(bytes.size(), 256 * 1024);
    QByteArray name;
    if (uchardet_handle_data(detector, bytes.data(), size_t(sample)) == 0) {
        uchardet_data_end(detector);
        name = uchardet_get_charset(detector);
    }
    uchardet_delete(detector);
    return name;
}

std::string decodeWith(QByteArrayView bytes, const QByteArray &charset, bool &ok)
{
    QStringDecoder decoder(charset.constData());
    ok = decoder.isValid();
    if (!ok)
        return {};
    const QString text = decoder.decode(bytes);
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), size_t(utf8.size()));
}

std::string utf8Lenient(QByteArrayView bytes)
{
    if (isValidUtf8(bytes))
        return std::string(bytes.data(), size_t(bytes.size()));
    bool ok = false;
    return decodeWith(bytes, "utf-8", ok);
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        // Skip ASCII eight bytes at a time.
        while (end - p >= 8) {
            quint64 block;
            std::memcpy(&block, p, 8);
            if (block & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned int min;
        unsigned int cp;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1; min = 0x80; cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2; min = 0x800; cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3; min = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int k = 1; k <= more; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

QByteArray declaredCharset(QByteArrayView bytes)
{
    const QByteArray head = lower(bytes.first(std::min(bytes.size(), PrescanBytes)));
    if (head.startsWith("<?xml")) {
        const qsizetype end = head.indexOf("?>");
        const QByteArray value = valueAfter(QByteArrayView(head).first(end < 0 ? head.size() : end), "encoding");
        if (!value.isEmpty())
            return value;
    }
    qsizetype at = 0;
    while ((at = head.indexOf("<meta", at)) >= 0) {
        qsizetype end = head.indexOf('>', at);
        if (end < 0)
            end = head.size();
        const QByteArray value = valueAfter(QByteArrayView(head).sliced(at, end - at), "charset");
        if (!value.isEmpty())
            return value;
        at = end;
    }
    return {};
}

Decoded decodeDocument(QByteArrayView bytes, QByteArrayView hint, bool html)
{
    Decoded d;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        d.charset = "utf-8";
        d.utf8 = utf8Lenient(bytes.sliced(3));
        return d;
    }
    QByteArray charset;
    if (bytes.startsWith("\xFF\xFE"))
        charset = "utf-16le";
    else if (bytes.startsWith("\xFE\xFF"))
        charset = "utf-16be";
    if (!charset.isEmpty()) {
        bytes = bytes.sliced(2);
    } else {
        const QByteArrayView head = bytes.first(std::min(bytes.size(), PrescanBytes));
        if (head.contains('\0')) {
            charset = utf16Guess(head);
            if (charset.isEmpty()) {
                d.binary = true;
                return d;
            }
        }
    }
    if (charset.isEmpty() && !hint.isEmpty())
        charset = normalise(hint.toByteArray());
    if (charset.isEmpty() && html)
        charset = normalise(declaredCharset(bytes));
    if (charset.isEmpty() && isValidUtf8(bytes))
        charset = "utf-8";
    if (charset.isEmpty())
        charset = normalise(detect(bytes));
    if (charset.isEmpty())
        charset = "windows-1252";

    d.charset = charset;
    if (charset == "utf-8") {
        d.utf8 = utf8Lenient(bytes);
        return d;
    }
    bool ok = false;
    d.utf8 = decodeWith(bytes, charset, ok);
    if (!ok) {
        // A name nobody knows: the detector's guess, else the system code page.
        QByteArray fallback = isValidUtf8(bytes) ? QByteArray("utf-8") : normalise(detect(bytes));
        if (fallback.isEmpty() || fallback == charset)
            fallback = "windows-1252";
        d.charset = fallback;
        d.utf8 = fallback == "utf-8" ? utf8Lenient(bytes) : decodeWith(bytes, fallback, ok);
        if (!ok) {
            d.charset = "windows-1252";
            d.utf8 = decodeWith(bytes, "windows-1252", ok);
        }
    }
    return d;
}

} // namespace vespira::producer
