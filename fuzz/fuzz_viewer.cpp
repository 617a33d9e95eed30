// The document view on arbitrary file contents: line breaking and paging must cover the
// text without gaps or overlaps and always move on; the memo conversions must take every
// line; the find in the view must list exactly what a plain case-folded comparison lists.
// Input: byte 0 picks the mode and the mirror, byte 1 the wrap width, byte 2 the length of
// the find pattern taken from the bytes after it; the rest is the file.

#include "core/common/text.h"
#include "core/searchwindow/findinviewer.h"
#include "core/searchwindow/viewermodel.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace vespira;
using namespace vespira::searchwindow;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

const QString &scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz_UTF8Dokument.txt"));
    return path;
}

void checkLines(const QString &path, ViewerMode mode, MirrorMode mirrorMode, int wrap, qint64 size)
{
    ViewerModel m;
    m.setMode(mode);
    m.setWrapWidth(wrap);
    m.setPageLines(3);
    if (!m.open(path))
        return;
    MirrorLines mirror(mirrorMode);
    qint64 at = 0;
    const qint64 end = m.textSize();
    while (at < end) {
        const ViewLine line = m.layoutLine(at);
        require(line.start == at);
        require(line.end >= line.start && line.next > line.start && line.next <= end);
        require(line.offsets.size() == line.text.size() + 1);
        require(line.offsets.back() == line.end - line.start);
        for (qsizetype i = 1; i < line.offsets.size(); ++i)
            require(line.offsets[i] >= line.offsets[i - 1]);
        (void)mirror.take(m.lineBytes(line), line.text, !line.hardBreak);
        require(m.lineStartContaining(line.next - 1) == line.start || wrap > 0);
        at = line.next;
    }
    require(at == end || size == 0);

    // Paging to the end and back to the start ends.
    m.scrollToEnd();
    for (int guard = 0; m.viewPosition() > 0; ++guard) {
        require(guard <= size + 1);
        require(m.scrollPage(false));
    }
}

void checkFind(const QByteArray &file, const QByteArray &pattern)
{
    QByteArray foldedFile = file;
    QByteArray foldedPattern = pattern;
    for (char &c : foldedFile)
        c = static_cast<char>(text::ansiLower(static_cast<uchar>(c)));
    for (char &c : foldedPattern)
        c = static_cast<char>(text::ansiLower(static_cast<uchar>(c)));
    const FoldedPattern folded(pattern);
    const auto *data = reinterpret_cast<const uchar *>(file.constData());
    qint64 found = folded.find(data, file.size(), 0);
    for (qsizetype expected = foldedFile.indexOf(foldedPattern); expected >= 0;
         expected = foldedFile.indexOf(foldedPattern, expected + 1)) {
        require(found == expected);
        found = folded.find(data, file.size(), found + 1);
    }
    require(found == -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const ViewerMode mode = data[0] & 1 ? ViewerMode::vbmodeUnicode : ViewerMode::vbmodeText;
    const MirrorMode mirror = static_cast<MirrorMode>((data[0] >> 1) % 3);
    const int wrap = data[1] % 64;
    const QByteArray file(reinterpret_cast<const char *>(data + 3), qsizetype(size - 3));
    const QByteArray pattern = file.left(1 + data[2] % 24);

    QFile out(scratchFile());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        return 0;
    out.close();

    checkLines(scratchFile(), mode, mirror, wrap, file.size());
    if (!pattern.isEmpty())
        checkFind(file, pattern);
    return 0;
}
