#include "producer/storedtexts.h"

#include "producer/extractorversion.h"

#include "core/db/dbfiles.h"
#include "core/db/titlepositions.h"

#include <QFile>
#include <QFileInfo>

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

std::optional<QByteArray> readStoredBlock(const StoredBlock &block, QByteArrayView marker)
{
    QFile file(block.collectedPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(block.offset))
        return std::nullopt;
    QByteArray bytes = file.read(block.length);
    if (bytes.size() != block.length || !bytes.startsWith(marker))
        return std::nullopt;
    return bytes;
}

} // namespace vespira::producer
