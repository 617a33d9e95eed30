#include "producer/legacyrefs.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <array>

namespace vespira::producer {

namespace {

void appendUtf8(unsigned int cp, std::string &out)
{
    if (cp < 0x80) {
        out += char(cp);
    } else {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The legacy names are HTML 4's Latin-1 references, "&apos" excepted, plus a few written
// in capitals.
unsigned int latin1Reference(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, unsigned int>, 6> Capitals {
        {{"AMP", '&'}, {"COPY", 0xA9}, {"GT", '>'}, {"LT", '<'}, {"QUOT", '"'}, {"REG", 0xAE}}};
    for (const auto &[capital, cp] : Capitals) {
        if (capital == name)
            return cp;
    }
    if (name == "apos")
        return 0;
    char buffer[8];
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = '\0';
    const htmlEntityDesc *entity = htmlEntityLookup(reinterpret_cast<const xmlChar *>(buffer));
    return entity && entity->value <= 0xFF ? entity->value : 0;
}

} // namespace

std::size_t legacyReference(std::string_view text, std::string &utf8)
{
    // The longest legacy names have six letters ("frac12", "middot", "plusmn").
    for (std::size_t n = std::min<std::size_t>(text.size(), 6); n >= 2; --n) {
        if (const unsigned int cp = latin1Reference(text.substr(0, n))) {
            utf8.clear();
            appendUtf8(cp, utf8);
            return n;
        }
    }
    return 0;
}

} // namespace vespira::producer
