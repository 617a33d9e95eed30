#include "core/search/linereader.h"

#include "core/common/error.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace vespira::search {

LineReader::LineReader(QIODevice &stream, int charSize, bool bigEndian)
    : m_stream {&stream}
    , m_charSize {charSize == 2 ? 2 : 1}
    , m_bigEndian {bigEndian}
    , m_size {stream.size()}
{
}

LineReader::LineReader(MappedFile &file, int charSize, bool bigEndian)
    : m_mapped {&file}
    , m_charSize {charSize == 2 ? 2 : 1}
    , m_bigEndian {bigEndian}
{
}

QByteArrayView LineReader::read(qint64 offset, qint64 length)
{
    if (m_mapped) {
        const QByteArrayView bytes = m_mapped->view(offset, length);
        if (bytes.isEmpty() && m_mapped->failed())
            throw Error(u"Read error at offset %1"_s.arg(offset));
        return bytes;
    }
    if (offset >= m_cacheBase && offset + length <= m_cacheBase + m_cache.size())
        return QByteArrayView(m_cache).sliced(offset - m_cacheBase, length);
    // Read ahead: the lines after a match, read next, then come from the same bytes.
    const qint64 want = qMin(qMax<qint64>(length, 65536), qMax<qint64>(length, m_size - offset));
    if (!m_stream->seek(offset))
        throw Error(u"Read error at offset %1"_s.arg(offset));
    QByteArray data(want, Qt::Uninitialized);
    qint64 total = 0;
    while (total < want) {
        const qint64 got = m_stream->read(data.data() + total, want - total);
        if (got < 0)
            throw Error(u"Read error at offset %1"_s.arg(offset));
        if (got == 0)
            break;
        total += got;
    }
    data.truncate(total);
    m_cache = data;
    m_cacheBase = offset;
    return QByteArrayView(m_cache).first(qMin<qint64>(length, m_cache.size()));
}

char16_t LineReader::unitAt(QByteArrayView data, qint64 index) const
{
    if (m_charSize == 1)
        return char16_t(uchar(data[index]));
    const uchar a = uchar(data[index]), b = uchar(data[index + 1]);
    return m_bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
}

LineReader::Span LineReader::selectLine(qint64 position)
{
    const qint64 cs = m_charSize;
    const qint64 fullSize = fileSize();
    const qint64 size = fullSize - fullSize % cs;
    position -= position % cs;
    if (position < 0 || position >= size)
        return {qMax<qint64>(position, 0), 0};
    const qint64 low = qMax<qint64>(0, position - MaxUnits * cs);
    const qint64 high = qMin(size, position + MaxUnits * cs);
    const QByteArrayView data = read(low, high - low);
    const qint64 available = data.size() - data.size() % cs;
    // The file may have shrunk since its size was taken: what was not read is not there.
    if (position - low >= available)
        return {position, 0};
    qint64 start = 0;
    qint64 end = available;
    if (cs == 1) {
        // Bytes: the library's searches, many bytes at a time (a search with many hits
        // reads a line around each).
        const auto *bytes = reinterpret_cast<const unsigned char *>(data.data());
        const qint64 at = position - low;
        for (const int breakByte : {'\r', '\n'}) {
            if (const void *before = ::memrchr(bytes, breakByte, size_t(at)))
                start = std::max<qint64>(start, static_cast<const unsigned char *>(before) - bytes + 1);
            if (const void *after = std::memchr(bytes + at, breakByte, size_t(available - at)))
                end = std::min<qint64>(end, static_cast<const unsigned char *>(after) - bytes);
        }
    } else {
        auto isBreak = [&](qint64 index) {
            const char16_t u = unitAt(data, index);
            return u == u'\r' || u == u'\n';
        };
        for (qint64 i = position - low - cs; i >= 0; i -= cs) {
            if (isBreak(i)) {
                start = i + cs;
                break;
            }
        }
        for (qint64 i = position - low; i + cs <= available; i += cs) {
            if (isBreak(i)) {
                end = i;
                break;
            }
        }
    }
    return {low + start, qMax<qint64>(0, end - start)};
}

QByteArray LineReader::bytes(Span span)
{
    if (span.length <= 0)
        return {};
    return read(span.start, span.length).toByteArray();
}

QString LineReader::text(Span span)
{
    const QByteArray data = bytes(span);
    if (m_charSize == 1)
        return QString::fromLatin1(data);
    QString result;
    result.reserve(data.size() / 2);
    for (qint64 i = 0; i + 1 < data.size(); i += 2)
        result.append(QChar(unitAt(data, i)));
    return result;
}

} // namespace vespira::search
