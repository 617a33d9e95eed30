#include "core/searchwindow/viewermodel.h"

#include "core/common/error.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

namespace {

__extension__ typedef __int128 Wide;

qint64 mulDiv(qint64 a, qint64 b, qint64 c)
{
    return c == 0 ? 0 : static_cast<qint64>(Wide(a) * Wide(b) / Wide(c));
}

bool isBreak(int c)
{
    return c == '\n' || c == '\r';
}

// windows-1252 as painted; bytes without a character there show as themselves.
const std::array<char16_t, 256> &ansiTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t {};
        for (int i = 0; i < 256; ++i) {
            const char byte = static_cast<char>(i);
            QStringDecoder decoder("windows-1252");
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            t[i] = (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter) ? s.at(0).unicode()
                                                                              : char16_t(i);
        }
        return t;
    }();
    return table;
}

QString quotedName(const QString &fileName)
{
    return u"\""_s + fileName + u"\""_s;
}

} // namespace

bool ViewerModel::open(const QString &fileName)
{
    if (!fileName.isEmpty() && fileName == m_fileName && m_file.isOpen())
        return true;
    close();
    if (fileName.isEmpty())
        return true;
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_lastError = u"Cannot open file: "_s + quotedName(fileName);
        return false;
    }
    m_fileName = fileName;
    m_size = m_file.size();
    if (m_size > 0 && !ensureBuffered(0))
        m_readFailed = true;
    return true;
}

void ViewerModel::close()
{
    if (m_file.isOpen())
        m_file.close();
    m_fileName.clear();
    m_size = 0;
    m_buffer.clear();
    m_buffer.squeeze();
    m_bufferStart = 0;
    m_viewPos = 0;
    m_selStart = 0;
    m_selLength = 0;
    m_readFailed = false;
    invalidateLayout();
}

void ViewerModel::setMode(ViewerMode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    m_buffer.clear();
    m_bufferStart = 0;
    invalidateLayout();
    // An 8-bit line start can lie inside a UTF-16 character: after the first byte of a
    // break. That line is the one after the break, so round up, or every switch there and
    // back would move the view a line up.
    const qint64 cs = charSize();
    m_viewPos = isOpen() ? lineStartContaining((m_viewPos + cs - 1) / cs * cs) : 0;
}

void ViewerModel::setWrapWidth(int columns)
{
    columns = std::max(0, columns);
    if (columns == m_wrapWidth)
        return;
    m_wrapWidth = columns;
    invalidateLayout();
    if (isOpen())
        m_viewPos = lineStartContaining(m_viewPos);
}

void ViewerModel::setPageLines(int lines)
{
    lines = std::max(1, lines);
    if (lines == m_pageLines)
        return;
    m_pageLines = lines;
    invalidateLayout();
}

qint64 ViewerModel::lastPosition() const
{
    return std::max<qint64>(0, textSize() - charSize());
}

bool ViewerModel::ensureBuffered(qint64 offset)
{
    if (offset >= m_bufferStart && offset < m_bufferStart + m_buffer.size())
        return true;
    const qint64 blockBytes = kBlockChars * charSize();
    const qint64 block = offset / blockBytes;
    const qint64 start = std::max<qint64>(0, block - 1) * blockBytes;
    const qint64 length = std::min<qint64>(3 * blockBytes, m_size - start);
    m_buffer.clear();
    m_bufferStart = start;
    if (length <= 0 || !m_file.isOpen() || !m_file.seek(start)) {
        m_lastError = u"Cannot read file: "_s + quotedName(m_fileName);
        return false;
    }
    m_buffer.resize(length);
    const qint64 got = m_file.read(m_buffer.data(), length);
    // A short read is a file that shrank since it was opened: what came is still shown.
    m_buffer.truncate(std::max<qint64>(0, got));
    if (offset >= m_bufferStart + m_buffer.size()) {
        m_lastError = u"Cannot read file: "_s + quotedName(m_fileName);
        return false;
    }
    return true;
}

int ViewerModel::charAt(qint64 offset)
{
    const int cs = charSize();
    if (offset < 0 || offset + cs > textSize())
        return -1;
    // After a short read the buffer may end inside a character.
    if (!ensureBuffered(offset) || offset + cs > m_bufferStart + m_buffer.size()) {
        m_readFailed = true;
        return -1;
    }
    const auto *p = reinterpret_cast<const uchar *>(m_buffer.constData()) + (offset - m_bufferStart);
    return cs == 1 ? p[0] : (p[0] | (p[1] << 8));
}

qint64 ViewerModel::measureLine(qint64 start, bool *hardBreak)
{
    // Same rules as layoutLine, without building the text.
    const int cs = charSize();
    const qint64 size = textSize();
    qint64 pos = start;
    int col = 0;
    int n = 0;
    while (true) {
        if (pos >= size) {
            if (hardBreak)
                *hardBreak = true;
            return pos;
        }
        const int c = charAt(pos);
        if (c < 0) {
            if (hardBreak)
                *hardBreak = true;
            return pos;
        }
        if (isBreak(c)) {
            qint64 next = pos + cs;
            const int d = next < size ? charAt(next) : -1;
            if ((c == '\n' && d == '\r') || (c == '\r' && d == '\n'))
                next += cs;
            if (hardBreak)
                *hardBreak = true;
            return next;
        }
        if (n == kMaxLineChars)
            break;
        if (cs == 2 && pos == 0 && c == 0xFEFF) {
            pos += cs;
            continue;
        }
        const int w = c == '\t' ? kTabSize - col % kTabSize : 1;
        if (m_wrapWidth > 0 && n > 0 && col + w > m_wrapWidth)
            break;
        col += w;
        ++n;
        pos += cs;
    }
    if (hardBreak)
        *hardBreak = false;
    return pos;
}

ViewLine ViewerModel::layoutLine(qint64 start)
{
    const auto &table = ansiTable();
    ViewLine line;
    line.start = start;
    const int cs = charSize();
    const qint64 size = textSize();
    qint64 pos = start;
    int col = 0;
    int n = 0;
    line.hardBreak = false;
    while (true) {
        if (pos >= size) {
            line.end = line.next = pos;
            line.hardBreak = true;
            break;
        }
        const int c = charAt(pos);
        if (c < 0) {
            line.end = line.next = pos;
            line.hardBreak = true;
            break;
        }
        if (isBreak(c)) {
            qint64 next = pos + cs;
            const int d = next < size ? charAt(next) : -1;
            if ((c == '\n' && d == '\r') || (c == '\r' && d == '\n'))
                next += cs;
            line.end = pos;
            line.next = next;
            line.hardBreak = true;
            break;
        }
        if (n == kMaxLineChars) {
            line.end = line.next = pos;
            break;
        }
        if (cs == 2 && pos == 0 && c == 0xFEFF) {
            pos += cs; // byte-order mark: not a character of the text
            continue;
        }
        const int w = c == '\t' ? kTabSize - col % kTabSize : 1;
        if (m_wrapWidth > 0 && n > 0 && col + w > m_wrapWidth) {
            line.end = line.next = pos;
            break;
        }
        const int rel = static_cast<int>(pos - start);
        if (c == '\t') {
            for (int i = 0; i < w; ++i) {
                line.text.append(QLatin1Char(' '));
                line.offsets.append(rel);
            }
        } else {
            char16_t ch = cs == 1 ? table[c] : char16_t(c);
            if (ch < 0x20)
                ch = u' ';
            line.text.append(QChar(ch));
            line.offsets.append(rel);
        }
        col += w;
        ++n;
        pos += cs;
    }
    line.offsets.append(static_cast<int>(line.end - start));
    return line;
}

qint64 ViewerModel::logicalAnchor(qint64 offset)
{
    const int cs = charSize();
    const qint64 limit = std::max<qint64>(0, offset - kScanBackChars * cs);
    qint64 b = -1;
    for (qint64 p = offset - cs; p >= limit; p -= cs) {
        const int c = charAt(p);
        if (c < 0)
            return align(p + cs);
        if (isBreak(c)) {
            b = p;
            break;
        }
    }
    if (b < 0) {
        if (limit == 0)
            return 0;
        // An unbroken stretch longer than the look-back: count its pieces from a fixed
        // grid, so scrolling up and down meet the same line starts.
        const qint64 grid = qint64(kMaxLineChars) * cs;
        return std::min(align(offset), (limit + grid - 1) / grid * grid);
    }
    // The break sequences of the run of breaks that holds b decide where the line starts.
    qint64 r = b;
    const qint64 runLimit = std::max<qint64>(0, b - kScanBackChars * cs);
    while (r - cs >= runLimit && isBreak(charAt(r - cs)))
        r -= cs;
    qint64 x = r;
    while (x <= b) {
        const int c = charAt(x);
        const int d = charAt(x + cs);
        x += ((c == '\n' && d == '\r') || (c == '\r' && d == '\n')) ? 2 * cs : cs;
    }
    if (x > offset) // offset is the second character of the break that ends the line of b
        return logicalAnchor(b);
    return x;
}

qint64 ViewerModel::lineStartContaining(qint64 offset)
{
    const qint64 size = textSize();
    if (size <= 0)
        return 0;
    offset = std::clamp<qint64>(align(offset), 0, size - charSize());
    qint64 start = logicalAnchor(offset);
    while (true) {
        const qint64 next = measureLine(start);
        if (next > offset || next <= start)
            return start;
        start = next;
    }
}

qint64 ViewerModel::previousLineStart(qint64 pos)
{
    if (pos <= 0)
        return 0;
    return lineStartContaining(pos - charSize());
}

qint64 ViewerModel::lastPageStart()
{
    if (m_lastPageStart)
        return *m_lastPageStart;
    qint64 s = 0;
    if (textSize() > 0) {
        s = lineStartContaining(lastPosition());
        for (int i = 1; i < m_pageLines && s > 0; ++i)
            s = previousLineStart(s);
    }
    m_lastPageStart = s;
    return s;
}

bool ViewerModel::setViewPosition(qint64 pos)
{
    pos = std::max<qint64>(0, pos);
    const bool changed = pos != m_viewPos;
    m_viewPos = pos;
    return changed;
}

bool ViewerModel::scrollToOffset(qint64 offset)
{
    if (offset <= 0)
        return setViewPosition(0);
    if (offset >= lastPosition())
        return scrollToEnd();
    return setViewPosition(lineStartContaining(offset));
}

bool ViewerModel::scrollLines(int count, bool down)
{
    qint64 pos = m_viewPos;
    for (int i = 0; i < count; ++i) {
        if (down) {
            if (pos >= lastPageStart())
                break;
            const qint64 next = measureLine(pos);
            if (next <= pos)
                break;
            pos = next;
        } else {
            if (pos <= 0)
                break;
            pos = previousLineStart(pos);
        }
    }
    return setViewPosition(pos);
}

bool ViewerModel::scrollPage(bool down)
{
    return scrollLines(m_pageLines, down);
}

int ViewerModel::scrollMaximum()
{
    const qint64 last = lastPageStart();
    return static_cast<int>(std::min<qint64>(kMaxScrollSteps, last / charSize()));
}

int ViewerModel::scrollValue()
{
    const int max = scrollMaximum();
    if (max == 0)
        return 0;
    return static_cast<int>(std::clamp<qint64>(mulDiv(m_viewPos, max, lastPageStart()), 0, max));
}

bool ViewerModel::scrollToValue(int value)
{
    const int max = scrollMaximum();
    if (value <= 0 || max == 0)
        return setViewPosition(0);
    if (value >= max)
        return scrollToEnd();
    return setViewPosition(lineStartContaining(mulDiv(value, lastPageStart(), max)));
}

QList<ViewLine> ViewerModel::visibleLines(int count)
{
    m_readFailed = false;
    QList<ViewLine> lines;
    qint64 pos = m_viewPos;
    const qint64 size = textSize();
    for (int i = 0; i < count && pos < size; ++i) {
        // Past the end of a file that shrank: the lines before stay, the view position
        // itself unreadable is the failure.
        if (charAt(pos) < 0) {
            m_readFailed = lines.isEmpty();
            break;
        }
        ViewLine line = layoutLine(pos);
        m_readFailed = false;
        lines.append(line);
        if (line.next <= pos)
            break;
        pos = line.next;
    }
    return lines;
}

bool ViewerModel::setSelection(qint64 start, qint64 length, bool scroll, int indentLines)
{
    if (start < 0 || length < 0 || start > m_size)
        return false;
    m_selStart = start;
    m_selLength = std::min(length, m_size - start);
    if (scroll) {
        qint64 p = lineStartContaining(start);
        for (int i = 0; i < indentLines && p > 0; ++i)
            p = previousLineStart(p);
        setViewPosition(p);
    }
    return true;
}

void ViewerModel::selectAll()
{
    m_selStart = 0;
    m_selLength = m_size;
}

void ViewerModel::selectLine(qint64 offset)
{
    const int cs = charSize();
    const qint64 size = textSize();
    offset = std::clamp<qint64>(align(offset), 0, size);
    qint64 b = offset;
    for (int i = 0; i < kMaxLineChars && b > 0; ++i) {
        const int c = charAt(b - cs);
        if (c < 0 || isBreak(c))
            break;
        b -= cs;
    }
    qint64 e = offset;
    for (int i = 0; i < kMaxLineChars && e < size; ++i) {
        const int c = charAt(e);
        if (c < 0 || isBreak(c))
            break;
        e += cs;
    }
    m_selStart = b;
    m_selLength = e - b;
}

bool ViewerModel::isSelected(qint64 charOffset) const
{
    return m_selLength > 0 && charOffset + charSize() > m_selStart
           && charOffset < m_selStart + m_selLength;
}

QByteArray ViewerModel::readRange(qint64 from, qint64 length)
{
    if (length <= 0)
        return {};
    if (from >= m_bufferStart && from + length <= m_bufferStart + m_buffer.size())
        return m_buffer.mid(from - m_bufferStart, length);
    QByteArray bytes;
    if (m_file.isOpen() && m_file.seek(from)) {
        bytes.resize(length);
        // Fewer bytes: the file shrank; the whole characters still there are the text.
        qint64 got = m_file.read(bytes.data(), length);
        got -= std::max<qint64>(got, 0) % charSize();
        if (got > 0) {
            bytes.truncate(got);
            return bytes;
        }
    }
    throw Error(u"Cannot read file: "_s + quotedName(m_fileName));
}

QByteArray ViewerModel::selectedBytes()
{
    if (m_selLength <= 0 || !isOpen())
        return {};
    const int cs = charSize();
    const qint64 from = align(m_selStart);
    qint64 to = std::min(m_selStart + m_selLength, m_size);
    to = std::min(textSize(), (to + cs - 1) / cs * cs);
    if (to - from > kMaxSelectionTextBytes)
        throw Error(u"Cannot copy data to Clipboard"_s);
    return readRange(from, to - from);
}

QString ViewerModel::selectedText()
{
    const QByteArray bytes = selectedBytes();
    if (m_mode == ViewerMode::vbmodeUnicode) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(bytes);
    }
    QString text(bytes.size(), Qt::Uninitialized);
    const auto &table = ansiTable();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(table[static_cast<uchar>(bytes.at(i))]);
    return text;
}

QString ViewerModel::copyText(MirrorMode mirror)
{
    QString text;
    if (m_mode != ViewerMode::vbmodeUnicode && mirror == MirrorMode::Utf8)
        text = QString::fromUtf8(selectedBytes());
    else
        text = selectedText();
    text.replace(QChar(0), QLatin1Char(' '));
    return text;
}

QByteArray ViewerModel::lineBytes(const ViewLine &line)
{
    return readRange(line.start, line.end - line.start);
}

QString mirrorFromAnsi(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto at = [&](qsizetype i) { return static_cast<uchar>(bytes.at(i)); };
    const auto cont = [](uchar b) { return (b & 0xC0) == 0x80; };
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar b0 = at(i);
        if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < n && cont(at(i + 1))) {
            out.append(QChar(char16_t(((b0 & 0x1F) << 6) | (at(i + 1) & 0x3F))));
            i += 2;
            continue;
        }
        if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < n && cont(at(i + 1)) && cont(at(i + 2))
            && (b0 != 0xE0 || at(i + 1) >= 0xA0) && (b0 != 0xED || at(i + 1) < 0xA0)) {
            out.append(QChar(char16_t(((b0 & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F))));
            i += 3;
            continue;
        }
        out.append(QChar(char16_t(b0)));
        ++i;
    }
    return out;
}

QString mirrorFromUtf8(QByteArrayView bytes)
{
    QString s = QString::fromUtf8(bytes);
    for (QChar &c : s)
        if (c.unicode() == 0x0C00 || c.unicode() == 0x0C4D)
            c = QLatin1Char(' ');
    return s;
}

int incompleteUtf8Tail(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (int k = 1; k <= 3 && k <= n; ++k) {
        const auto b = static_cast<uchar>(bytes.at(n - k));
        if ((b & 0xC0) == 0x80)
            continue;
        if (b < 0xC0)
            return 0;
        const int need = b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2);
        return k < need ? k : 0;
    }
    return 0;
}

QString MirrorLines::take(const QByteArray &bytes, const QString &painted, bool continues)
{
    if (m_mode == MirrorMode::Utf16)
        return painted;
    QByteArray data = m_carry + bytes;
    m_carry.clear();
    if (continues) {
        const int tail = incompleteUtf8Tail(data);
        if (tail > 0) {
            m_carry = data.right(tail);
            data.chop(tail);
        }
    }
    return m_mode == MirrorMode::Ansi ? mirrorFromAnsi(data) : mirrorFromUtf8(data);
}

} // namespace vespira::searchwindow
