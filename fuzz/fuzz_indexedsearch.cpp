// The matching loop over a collected file with the trigram index against the same loop
// without it, on arbitrary collections and search texts: the index is built from the
// file, and any difference in the hits (block, path, context, order) aborts. So does an
// index built just now that does not read as current.
//
// Input: one byte of flags (1: the UTF-16 file, 2: case, 4: whole words, 8: windows of one
// page, 16: a tiny block), the search text's length in bytes, the search text (UTF-8), then
// the collected file's text (UTF-8; the UTF-16 file gets it re-encoded). Every line that
// starts with '#' starts a document, as the producer writes them; the document marker is
// "#Q:\".

#include "core/common/docpath.h"
#include "core/common/hit.h"
#include "core/index/builder.h"
#include "core/index/filestamp.h"
#include "core/index/trigramindex.h"
#include "core/search/candidatesource.h"
#include "core/search/collectedfilesearch.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace vespira;
using namespace vespira::search;

namespace {

class NoDialogs final : public platform::Dialogs
{
public:
    void information(const QString &) override {}
    void warning(const QString &) override {}
    void error(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

QList<Hit> runLoop(const QString &folder, const MatchOptions &options, CollectedKind kind, int block,
                   qint64 window, CandidateSource *source)
{
    NoDialogs dialogs;
    const DocPathMapper mapper;
    MatchEnvironment env {dialogs, mapper};
    env.programFolder = folder + QStringLiteral("/");
    env.documentMarker = QStringLiteral("#Q:\\");
    env.replacementDrive = QStringLiteral("Q");
    env.blockSize = block;
    env.mapWindow = window;
    app::SearchRunState state;
    CollectedFileSearch loop(options, env, state);
    loop.setCandidateSource(source);
    HitList hits;
    loop.run(folder + QStringLiteral("/c.txt"), folder + QStringLiteral("/t.txt"), kind, hits);
    return hits.hits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size_t(data[1]) + 2 > size)
        return 0;
    const uint8_t flags = data[0];
    const bool wide = flags & 1;
    MatchOptions options;
    options.searchText = QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, data[1]);
    options.caseSensitive = flags & 2;
    options.wholeWords = flags & 4;
    const qint64 window = (flags & 8) ? 4096 : MappedFile::DefaultWindowBytes;
    const int block = (flags & 16) ? 7 : 65536;
    const QByteArray utf8(reinterpret_cast<const char *>(data) + 2 + data[1], qsizetype(size - 2 - data[1]));

    // The file as the producer writes it, with a title position at every '#' line.
    QByteArray collected;
    QByteArray titles;
    const QString text = QString::fromUtf8(utf8);
    qint64 unitOffset = 0;
    const auto addTitle = [&](qint64 byteOffset) { titles += QByteArray::number(byteOffset) + " #Q:\\d.htm\r\n"; };
    if (wide) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'#' && (i == 0 || text[i - 1] == u'\n'))
                addTitle(2 * unitOffset);
            const char16_t unit = text[i].unicode();
            collected.append(char(unit & 0xFF)).append(char(unit >> 8));
            ++unitOffset;
        }
    } else {
        collected = utf8; // invalid bytes stay
        for (qsizetype i = 0; i < collected.size(); ++i)
            if (collected[i] == '#' && (i == 0 || collected[i - 1] == '\n'))
                addTitle(i);
    }

    static QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    const QString collectedPath = folder.filePath(QStringLiteral("c.txt"));
    writeFile(collectedPath, collected);
    writeFile(folder.filePath(QStringLiteral("t.txt")), titles);

    index::BuildInput input;
    input.collectedPath = collectedPath;
    input.titlesPath = folder.filePath(QStringLiteral("t.txt"));
    input.kind = wide ? index::IndexedText::Utf16LE : index::IndexedText::Utf8;
    input.slicePairs = 1 + qint64(size % 64); // small slices: merges too
    QByteArray indexBytes;
    index::buildTrigramIndex(input, [&](const QByteArray &b) { indexBytes += b; }, {});
    index::TrigramIndex idx = index::TrigramIndex::fromBytes(indexBytes, input.kind, index::stampOf(collectedPath));
    if (!idx.usable())
        std::abort();

    const CollectedKind kind = wide ? CollectedKind::Utf16 : CollectedKind::Utf8;
    const QList<Hit> scanned = runLoop(folder.path(), options, kind, 65536, MappedFile::DefaultWindowBytes, nullptr);
    // No jump is too dear here: the index narrows wherever it can.
    CandidateSource source(std::move(idx), 0);
    const QList<Hit> indexed = runLoop(folder.path(), options, kind, block, window, &source);
    if (indexed != scanned)
        std::abort();
    return 0;
}
