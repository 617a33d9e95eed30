#include "core/search/streamsearch.h"

#include "core/common/error.h"

#include <QFile>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace vespira::search {

namespace {

int charSizeOf(TTextEncoding encoding)
{
    return (encoding == vEncUnicodeLE || encoding == vEncUnicodeBE) ? 2 : 1;
}

qint64 alignDown(qint64 value, int charSize)
{
    return value - value % charSize; // toward zero, as the offsets are never negative here
}

} // namespace

TStreamSearch::TStreamSearch(int blockSize, qint64 mapWindow)
    : m_blockSize {blockSize < 1 ? 1 : blockSize}
    , m_mapWindow {mapWindow}
{
}

TStreamSearch::~TStreamSearch() = default;

void TStreamSearch::closeOwned()
{
    m_mapped.reset();
}

void TStreamSearch::setFileName(const QString &fileName)
{
    closeOwned();
    m_bufferSize = 0;
    m_fileName.clear();
    if (fileName.isEmpty())
        return;
    m_savedText.clear();
    m_fileName = fileName;
    auto mapped = std::make_unique<MappedFile>(fileName, m_mapWindow);
    if (!mapped->isOpen())
        throw Error(fileName + u" kann nicht geöffnet werden."_s);
    m_mapped = std::move(mapped);
    m_sizeKnown = false;
    m_stream = nullptr;
}

void TStreamSearch::setStream(QIODevice *stream)
{
    closeOwned();
    m_savedText.clear();
    m_fileName.clear();
    m_stream = stream;
    m_bufferSize = 0;
}

bool TStreamSearch::FindFirst(const QString &text, qint64 startPosition, TTextEncoding encoding,
                              int options, const index::Candidates *spans)
{
    m_savedText = text;
    m_savedEncoding = encoding;
    m_savedOptions = options;
    return search(text, encoding, options, startPosition, std::nullopt, spans);
}

bool TStreamSearch::FindNext()
{
    return FindNext(m_savedOptions & ~soBackward, std::nullopt);
}

bool TStreamSearch::FindPrevious()
{
    return FindNext(m_savedOptions | soBackward, std::nullopt);
}

bool TStreamSearch::FindNext(int options, const std::optional<QString> &pattern, const index::Candidates *spans)
{
    if (pattern)
        m_savedText = *pattern;
    const int charSize = charSizeOf(m_savedEncoding);
    if (options & soBackward) {
        // Before the last match; from the end when there was none.
        if (m_foundStart < 0)
            return search(m_savedText, m_savedEncoding, options, 0, std::nullopt, nullptr);
        return search(m_savedText, m_savedEncoding, options, m_foundStart, m_foundStart - charSize, nullptr);
    }
    return search(m_savedText, m_savedEncoding, options, m_foundStart + charSize, std::nullopt, spans);
}

bool TStreamSearch::progress(qint64 position, qint64 size)
{
    // The caller's code runs in a report: it may change the file.
    m_sizeKnown = false;
    return m_progress.step(position, size);
}

qint64 TStreamSearch::currentSize()
{
    if (!m_mapped)
        return m_stream->size();
    if (!m_sizeKnown)
        m_mapped->refreshSize();
    m_sizeKnown = true;
    return m_mapped->size();
}

TStreamSearch::Window TStreamSearch::windowAt(qint64 offset, qint64 length, qint64 size, bool jump)
{
    if (m_mapped) {
        // Taken again after every report: the file may have been cut short meanwhile, and
        // its window must not reach past the new end.
        currentSize();
        const QByteArrayView bytes = m_mapped->view(offset, length, jump);
        if (bytes.isEmpty() && m_mapped->failed())
            throw Error(u"Read error at offset %1"_s.arg(offset));
        return {reinterpret_cast<const unsigned char *>(bytes.data()), offset, bytes.size(),
                bytes.size() < length};
    }
    const qint64 bufferEnd = m_bufferBase + m_bufferSize;
    if (m_bufferSize > 0 && offset >= m_bufferBase && offset < bufferEnd) {
        const qint64 available = bufferEnd - offset;
        if (available >= length || bufferEnd >= size || m_bufferAtEnd || 2 * available >= length)
            return {m_buffer.data() + (offset - m_bufferBase), offset, std::min(available, length),
                    m_bufferAtEnd && available <= length};
    }
    const qint64 got = readAt(offset, length);
    return {m_buffer.data(), offset, got, got < length};
}

qint64 TStreamSearch::readAt(qint64 offset, qint64 length)
{
    m_bufferSize = 0;
    if (qint64(m_buffer.size()) < length)
        m_buffer.resize(size_t(length));
    if (!m_stream->seek(offset))
        throw Error(u"Read error at offset %1"_s.arg(offset));
    qint64 total = 0;
    while (total < length) {
        const qint64 got = m_stream->read(reinterpret_cast<char *>(m_buffer.data()) + total, length - total);
        if (got < 0)
            throw Error(u"Read error at offset %1"_s.arg(offset));
        if (got == 0)
            break;
        total += got;
    }
    m_bufferBase = offset;
    m_bufferSize = total;
    m_bufferAtEnd = total < length;
    return total;
}

bool TStreamSearch::search(const QString &text, TTextEncoding encoding, int options,
                           qint64 startPosition, std::optional<qint64> maxStartBackward,
                           const index::Candidates *spans)
{
    m_foundStart = -1;
    m_foundLength = 0;
    if (text.isEmpty() || (!m_stream && !m_mapped))
        return false;
    m_charSize = charSizeOf(encoding);
    m_streamStart = startPosition;
    const qint64 size = currentSize();
    if (size != m_streamSize)
        m_bufferSize = 0; // the stream changed since the last read
    m_streamSize = size;
    if (size < m_charSize)
        return false;
    const PatternMatcher &matcher = cachedMatcher(text, encoding, options & soCaseSensitive, options & soWholeWords);
    if (matcher.isEmpty())
        return false;

    const qint64 lastPosition = std::max<qint64>(0, alignDown(size, m_charSize) - m_charSize);
    qint64 start = startPosition < 0 ? -alignDown(-startPosition, m_charSize)
                                     : alignDown(startPosition, m_charSize);
    if (options & soBackward) {
        qint64 maxStart = 0;
        if (maxStartBackward) {
            maxStart = *maxStartBackward;
        } else {
            if (start < 0)
                return false;
            if (start == 0 || start > lastPosition)
                start = lastPosition;
            // The last window ends one character after the start position.
            maxStart = start + m_charSize - matcher.minLength();
        }
        if (!progress(start, size))
            return false;
        return searchBackward(matcher, maxStart, size);
    }
    if (start > lastPosition)
        return false;
    if (start < 0)
        start = 0;
    if (!progress(start, size))
        return false;
    return searchForward(matcher, start, size, spans);
}

bool TStreamSearch::searchForward(const PatternMatcher &matcher, qint64 position, qint64 size,
                                  const index::Candidates *spans)
{
    const int cs = m_charSize;
    // Matches start before limit in the stretch being scanned; without spans the stretch
    // is the rest of the file.
    qint64 limit = spans ? position : std::numeric_limits<qint64>::max();
    while (true) {
        bool jump = false;
        if (position >= limit) {
            const index::Candidates::Span span = spans->span(position);
            if (span.begin >= span.end || span.begin >= size)
                return false;
            // A block starts on a character; should a stretch not, it starts a little early.
            const qint64 begin = std::max(position, alignDown(span.begin, cs));
            jump = begin > position;
            position = begin;
            limit = span.end;
        }
        const qint64 base = std::max<qint64>(0, position - cs);
        const qint64 want = m_blockSize + (position - base) + matcher.maxLength() + cs;
        const Window window = windowAt(base, want, size, jump);
        const qint64 got = window.size;
        const qint64 end = base + got;
        if (window.endOfStream)
            size = std::min(size, end); // the stream is shorter than it was: its end is here
        const bool atEnd = end >= size;
        qint64 lastCandidate = atEnd ? end - matcher.minLength() : end - matcher.maxLength() - cs;
        if (lastCandidate >= 0)
            lastCandidate = alignDown(lastCandidate, cs);
        const qint64 last = std::min(lastCandidate, limit - 1 - (limit - 1) % cs);
        if (last >= position) {
            qint64 length = 0;
            const qint64 found = matcher.findForward(window.data, base, got, size, position, last, length);
            if (found >= 0) {
                m_foundStart = found;
                m_foundLength = length;
                return true;
            }
        }
        // A stretch that ends inside the window goes on at the next stretch, even when the
        // window reaches the end.
        if (atEnd && last >= lastCandidate)
            return false;
        if (lastCandidate < position) {
            m_bufferSize = 0; // too little of the last read was left: read afresh
            continue;
        }
        const qint64 next = last + cs;
        if (!progress(next, size))
            return false;
        position = next;
    }
}

bool TStreamSearch::searchBackward(const PatternMatcher &matcher, qint64 maxStart, qint64 size)
{
    const int cs = m_charSize;
    while (maxStart >= 0) {
        maxStart = alignDown(maxStart, cs);
        const qint64 high = std::min(size, maxStart + matcher.maxLength() + cs);
        const qint64 low = std::max<qint64>(0, high - m_blockSize - matcher.maxLength() - 2 * cs);
        m_bufferSize = 0; // backward blocks are read afresh
        const Window window = windowAt(low, high - low, size);
        const qint64 got = window.size;
        const qint64 end = low + got;
        if (window.endOfStream)
            size = std::min(size, end); // the stream is shorter than it was: its end is here
        qint64 top = end >= size ? end - matcher.minLength() : end - matcher.maxLength() - cs;
        top = std::min(top, maxStart);
        qint64 bottom = low == 0 ? 0 : low + cs;
        bottom = alignDown(bottom + cs - 1, cs);
        if (top >= bottom) {
            qint64 length = 0;
            const qint64 found = matcher.findBackward(window.data, low, got, size, bottom,
                                                      alignDown(top, cs), length);
            if (found >= 0) {
                m_foundStart = found;
                m_foundLength = length;
                return true;
            }
        }
        if (bottom == 0)
            return false;
        maxStart = bottom - cs;
        if (!progress(maxStart, size))
            return false;
    }
    return false;
}

} // namespace vespira::search
