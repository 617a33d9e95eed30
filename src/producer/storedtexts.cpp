#include "producer/storedtexts.h"

#include "producer/extractorversion.h"

#include "core/db/dbfiles.h"
#include "core/db/titlepositions.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace vespira::producer {

namespace {

// Block i runs from its offset to the next one's, the last to the end of the file. Title
// positions out of order or beyond the file mean the files do not belong together.
QHash<QString, StoredBlock> blocksOf(const QString &collectedPath, const QString &titlesPath,
                                     std::vector<qint64> &offsets)
{
    QHash<QString, StoredBlock> blocks;
    const QFileInfo collected(collectedPath);
    if (!collected.isFile())
        return blocks;
    const qint64 size = collected.size();
    const auto entries = db::TitlePositions::load(titlesPath).entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const qint64 start = entries.at(i).offset;
        const qint64 end = i + 1 < entries.size() ? entries.at(i + 1).offset : size;
        if (start < 0 || end < start || end > size) {
            offsets.clear();
            return {};
        }
        blocks.insert(entries.at(i).path, {collectedPath, start, end - start, uint32_t(i)});
        offsets.push_back(start);
    }
    return blocks;
}

} // namespace

StoredTexts StoredTexts::load(const QString &programFolder, const QString &name)
{
    StoredTexts stored;
    QFile file(db::filePath(programFolder, name, QString::fromUtf16(db::suffix::DocumentStamps)));
    if (!file.open(QIODevice::ReadOnly))
        return stored;
    StoredStamps stamps = parseStamps(file.readAll());
    if (stamps.extractorVersion != ExtractorVersion)
        return stored;
    stored.m_stamps = std::move(stamps.documents);
    stored.m_utf8 = blocksOf(db::collectedTextPath(programFolder, name, db::TextKind::Utf8),
                             db::titlePositionsPath(programFolder, name, db::TextKind::Utf8), stored.m_utf8Offsets);
    stored.m_utf16 = blocksOf(db::collectedTextPath(programFolder, name, db::TextKind::Mht),
                              db::titlePositionsPath(programFolder, name, db::TextKind::Mht), stored.m_utf16Offsets);
    return stored;
}

void StoredTexts::forget(bool utf16)
{
    (utf16 ? m_utf16 : m_utf8).clear();
    (utf16 ? m_utf16Offsets : m_utf8Offsets).clear();
}

std::optional<StoredBlock> StoredTexts::find(const QString &documentPath, bool utf16, const DocumentStamp &now) const
{
    const auto stamp = m_stamps.constFind(documentPath);
    if (stamp == m_stamps.cend() || *stamp != now)
        return std::nullopt;
    const auto &blocks = utf16 ? m_utf16 : m_utf8;
    const auto block = blocks.constFind(documentPath);
    if (block == blocks.cend())
        return std::nullopt;
    return *block;
}

std::optional<BlockCheck> checkStoredBlock(const StoredBlock &block, QByteArrayView marker, bool utf16)
{
    const qint64 unit = utf16 ? 2 : 1;
    if (block.length < marker.size() || block.length < unit)
        return std::nullopt;
    const int fd = block.fd >= 0 ? block.fd : ::open(QFile::encodeName(block.collectedPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray head(marker.size(), Qt::Uninitialized);
    char tail[2] = {0, 0};
    const bool read = ::pread(fd, head.data(), size_t(head.size()), off_t(block.offset)) == head.size()
        && ::pread(fd, tail, size_t(unit), off_t(block.offset + block.length - unit)) == unit;
    if (fd != block.fd)
        ::close(fd);
    if (!read || head != marker)
        return std::nullopt;
    BlockCheck check;
    check.endsWithLineEnd = (tail[0] == '\n' || tail[0] == '\r') && (!utf16 || tail[1] == 0);
    return check;
}

} // namespace vespira::producer
