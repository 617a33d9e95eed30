#include "producer/textbuilder.h"

#include "producer/charset.h"

#include <QString>

namespace vespira::producer {

namespace {

// Length of the UTF-8 sequence a lead byte opens (1 for a stray continuation byte).
int sequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

} // namespace

void defuseMarkers(std::string &line)
{
    std::size_t at = line.find('#');
    while (at != std::string::npos) {
        const std::size_t next = at + 1;
        if (next >= line.size())
            break;
        const std::size_t colon = next + std::size_t(sequenceLength(static_cast<unsigned char>(line[next])));
        if (colon + 1 < line.size() && line[colon] == ':' && line[colon + 1] == '\\')
            line.insert(next, 1, ' ');
        at = line.find('#', next);
    }
}

void TextBuilder::text(std::string_view utf8)
{
    // The HTML parser passes a numeric character reference beyond the code space on as
    // bytes that are no UTF-8 at all; the collected file must stay valid throughout.
    if (!isValidUtf8(QByteArrayView(utf8.data(), qsizetype(utf8.size())))) {
        const std::string valid = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toStdString();
        text(valid);
        return;
    }
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        bool blank = c <= 0x20 || c == 0x7F;
        if (c == 0xC2 && i + 1 < n && static_cast<unsigned char>(utf8[i + 1]) == 0xA0) {
            blank = true; // no-break space: searched like a blank
            ++i;
        }
        if (blank) {
            m_pendingSpace = !m_line.empty();
            continue;
        }
        if (m_pendingSpace) {
            m_line += ' ';
            m_pendingSpace = false;
        }
        m_line += char(c);
    }
}

void TextBuilder::lineBreak()
{
    m_pendingSpace = false;
    if (m_line.empty())
        return;
    if (m_line.find('#') != std::string::npos)
        defuseMarkers(m_line);
    m_out += m_line;
    m_out += "\r\n";
    m_line.clear();
}

std::string TextBuilder::take()
{
    lineBreak();
    std::string result;
    result.swap(m_out);
    return result;
}

} // namespace vespira::producer
