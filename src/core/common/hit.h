#pragma once

// A hit of a search as it travels from the matching loop over a collected text file to
// whoever takes it: the search run keeps them for the result pages, whose writer formats
// them, and `vespira search` prints them. Nobody takes a hit apart again, so a path or a
// context may hold any text.

#include <QList>
#include <QString>

namespace vespira {

// The collected text file a hit comes from.
enum class CollectedKind { Utf8, Utf16 };

// Characters of a hit's context, in UTF-16 units.
struct TextSpan
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextSpan &, const TextSpan &) = default;
};

struct Hit
{
    CollectedKind kind = CollectedKind::Utf8;
    // Byte offset of the marker of the document's block in the collected file, from the
    // title positions; -1 when the match lies before the first block (the path is then
    // empty before its check).
    qint64 blockOffset = -1;
    // The checked document path: native when the document was found, else
    // "Existiert nicht! " and the path with the database's drive letter.
    QString path;
    // The text around the first occurrence in the block, cut to size, without leading
    // blanks and control characters; empty when it could not be read.
    QString context;
    // How often the block holds the text (with "Alle Wörter": all its words together), when
    // the search counts; 0 when it does not.
    qint64 occurrences = 0;
    // The database of the hit, when one search runs over every database; empty otherwise.
    QString database {};
    // The words of the search as they stand in the context, when the search matched words or
    // spellings rather than the literal text; the page then marks these instead of looking
    // for the text itself.
    QList<TextSpan> marks {};

    friend bool operator==(const Hit &, const Hit &) = default;
};

// Takes the hits of a search one by one, in file order.
class HitSink
{
public:
    virtual ~HitSink() = default;
    virtual void matched(Hit hit) = 0;
};

// Keeps every hit, in the order they came.
class HitList final : public HitSink
{
public:
    void matched(Hit hit) override { hits.append(std::move(hit)); }

    QList<Hit> hits;
};

} // namespace vespira
