#pragma once

// A plain reference for the stream search: every match of a pattern in a text, found by
// walking the decoded text one character at a time, with the search's case and whole-word
// rules and none of its shortcuts.

#include "core/search/patternmatcher.h"

#include <QList>
#include <QString>

#include <utility>
#include <vector>

namespace vespira::test {

// Every match as (byte start, byte length) in the file's encoding: UTF-8 when utf8, else
// UTF-16 (two bytes a unit, either byte order).
inline std::vector<std::pair<qint64, qint64>> referenceScan(const QString &file, const QString &pattern,
                                                     bool utf8, bool caseSensitive, bool wholeWords)
{
    struct Unit
    {
        char32_t code;
        qint64 offset;
        qint64 length;
    };
    std::vector<Unit> units;
    qint64 offset = 0;
    if (utf8) {
        for (const char32_t c : file.toUcs4()) {
            const qint64 n = QString::fromUcs4(&c, 1).toUtf8().size();
            units.push_back({c, offset, n});
            offset += n;
        }
    } else {
        for (const QChar ch : file) {
            units.push_back({ch.unicode(), offset, 2});
            offset += 2;
        }
    }
    std::vector<char32_t> needle;
    if (utf8)
        for (const char32_t c : pattern.toUcs4())
            needle.push_back(c);
    else
        for (const QChar ch : pattern)
            needle.push_back(ch.unicode());
    auto same = [&](char32_t a, char32_t b) {
        return caseSensitive ? a == b : QChar::toLower(a) == QChar::toLower(b);
    };
    auto separator = [](char32_t c) { return search::isWordSeparator(uint32_t(c)); };
    std::vector<std::pair<qint64, qint64>> found;
    for (size_t i = 0; i + needle.size() <= units.size(); ++i) {
        bool ok = true;
        for (size_t k = 0; k < needle.size() && ok; ++k)
            ok = same(units[i + k].code, needle[k]);
        if (!ok)
            continue;
        const size_t end = i + needle.size();
        if (wholeWords && ((i > 0 && !separator(units[i - 1].code)) || (end < units.size() && !separator(units[end].code))))
            continue;
        found.emplace_back(units[i].offset, units[end - 1].offset + units[end - 1].length - units[i].offset);
    }
    return found;
}


} // namespace vespira::test
