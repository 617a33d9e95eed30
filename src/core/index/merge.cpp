#include "core/index/merge.h"

#include "core/common/error.h"
#include "core/index/filestamp.h"

#include <QDir>

#include <algorithm>
#include <iterator>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace vespira::index {

namespace {

constexpr uint32_t Dropped = std::numeric_limits<uint32_t>::max();

// One source of lists with its block numbers mapped to the new file.
struct MappedSource
{
    explicit MappedSource(const TrigramIndex *index)
        : cursor(index ? std::optional<PostingCursor>(std::in_place, *index) : std::nullopt)
    {
        advance();
    }

    void advance()
    {
        more = cursor && cursor->next();
    }
    bool damaged() const { return cursor && cursor->damaged(); }

    std::optional<PostingCursor> cursor;
    std::vector<uint32_t> newNumber; // by block number of this source
    bool more = false;
};

} // namespace

std::optional<BuildResult> mergeTrigramIndex(const MergeInput &input, const ByteSink &write,
                                             const std::function<bool()> &keepGoing)
{
    const std::optional<FileStamp> stamp = stampOf(input.collectedPath);
    if (!stamp)
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(input.collectedPath) + u"\" kann nicht gelesen werden."_s);
    if (!input.earlier || !input.earlier->usable() || (input.fresh && !input.fresh->usable())
        || input.starts.size() != input.origins.size() || input.starts.empty())
        return std::nullopt;

    MappedSource earlier(input.earlier);
    MappedSource fresh(input.fresh);
    earlier.newNumber.assign(size_t(input.earlier->blockCount()), Dropped);
    if (input.fresh)
        fresh.newNumber.assign(size_t(input.fresh->blockCount()), Dropped);
    for (size_t i = 0; i < input.origins.size(); ++i) {
        auto &numbers = input.origins[i].fresh ? fresh.newNumber : earlier.newNumber;
        if (input.origins[i].number >= numbers.size())
            return std::nullopt;
        numbers[input.origins[i].number] = uint32_t(i);
    }

    // Both sources map their blocks in ascending order, so each mapped list stays sorted
    // and one merge of the two gives the list a build from the text gives.
    std::vector<uint32_t> fromEarlier;
    std::vector<uint32_t> fromFresh;
    const auto mapped = [](const MappedSource &source, std::vector<uint32_t> &out) {
        out.clear();
        for (const uint32_t b : source.cursor->blocks()) {
            const uint32_t n = source.newNumber[b];
            if (n != Dropped)
                out.push_back(n);
        }
    };
    const ListFeed feed = [&](uint32_t &trigram, std::vector<uint32_t> &blocks) {
        for (;;) {
            if (!earlier.more && !fresh.more)
                return false;
            const bool takeEarlier = earlier.more && (!fresh.more || earlier.cursor->trigram() <= fresh.cursor->trigram());
            const bool takeFresh = fresh.more && (!earlier.more || fresh.cursor->trigram() <= earlier.cursor->trigram());
            trigram = takeEarlier ? earlier.cursor->trigram() : fresh.cursor->trigram();
            fromEarlier.clear();
            fromFresh.clear();
            if (takeEarlier) {
                mapped(earlier, fromEarlier);
                earlier.advance();
            }
            if (takeFresh) {
                mapped(fresh, fromFresh);
                fresh.advance();
            }
            blocks.clear();
            if (fromFresh.empty())
                blocks.swap(fromEarlier);
            else if (fromEarlier.empty())
                blocks.swap(fromFresh);
            else
                std::merge(fromEarlier.begin(), fromEarlier.end(), fromFresh.begin(), fromFresh.end(),
                           std::back_inserter(blocks));
            if (!blocks.empty())
                return true; // a trigram whose blocks all went is left out, as a build leaves it out
        }
    };
    BuildResult result = writeTrigramIndex(input.kind, *stamp, input.starts, feed, write, input.collectedPath, keepGoing);
    if (earlier.damaged() || fresh.damaged())
        return std::nullopt;
    result.textBytes = stamp->size;
    return result;
}

} // namespace vespira::index
