// The database readers on arbitrary bytes: the file-list header and the title-position
// table, whose binary-search lookup must give the plain walk's answer for every position.

#include "core/db/filelist.h"
#include "core/db/titlepositions.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

using namespace vespira;

namespace {

// The plain walk over the lines, as titlepositions.h describes it.
std::optional<db::TitlePositions::Block> walk(const db::TitlePositions &t, qint64 position)
{
    const auto &e = t.entries();
    const qsizetype n = e.size();
    for (qsizetype i = 0; i < n; ++i) {
        const bool fits = e[i].offset <= position && (i == n - 1 || e[i + 1].offset >= position);
        if (fits && !e[i].path.isEmpty())
            return db::TitlePositions::Block {e[i].offset, e[i].path, i};
    }
    return std::nullopt;
}

void check(const db::TitlePositions &t, qint64 position)
{
    const auto fast = t.blockAt(position);
    const auto slow = walk(t, position);
    if (fast.has_value() != slow.has_value()
        || (fast && (fast->index != slow->index || fast->offset != slow->offset || fast->path != slow->path)))
        std::abort();
    if (t.pathAt(position) != (slow ? slow->path : QString()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QString header = db::parseHeaderLine(bytes);
    (void)db::documentMarker(header.isEmpty() ? QChar() : header.at(0));

    const db::TitlePositions table = db::TitlePositions::parse(bytes);
    const auto &entries = table.entries();
    if (entries.size() > 200)
        return 0; // the walk is quadratic over many probes; the parse above still ran
    // Probe every offset, its neighbours and a few fixed positions.
    check(table, 0);
    check(table, -1);
    check(table, std::numeric_limits<qint64>::max());
    for (const auto &e : entries) {
        check(table, e.offset - 1);
        check(table, e.offset);
        check(table, e.offset + 1);
    }
    return 0;
}
