#pragma once

// What every extracted text must be, whatever the document held: valid UTF-8 lines, each
// ended by CR LF, none empty, and nothing that reads as a document marker ("#" + one
// character + ":\"), which would open a block of its own in the collected file.

#include "producer/charset.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vespira::fuzz {

inline int utf8Length(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

[[noreturn]] inline void reject(const char *why, const std::string &text)
{
    std::fprintf(stderr, "extracted text: %s\n%s\n", why, QByteArray::fromStdString(text).toPercentEncoding(" \r\n").constData());
    std::abort();
}

inline void checkExtractedText(const std::string &text)
{
    if (!producer::isValidUtf8(QByteArrayView(text.data(), qsizetype(text.size()))))
        reject("invalid UTF-8", text);
    if (text.empty())
        return;
    if (text.size() < 3 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        reject("no CR LF at the end", text);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            reject("a lone LF", text);
        if (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            reject("a lone CR", text);
        if (c == '\r' && (i == 0 || text[i - 1] == '\n'))
            reject("an empty line", text);
        if (c == '#' && i + 1 < text.size()) {
            const size_t after = i + 1 + size_t(utf8Length(static_cast<unsigned char>(text[i + 1])));
            if (after + 1 < text.size() && text[after] == ':' && text[after + 1] == '\\')
                reject("a document marker", text);
        }
    }
}

} // namespace vespira::fuzz
