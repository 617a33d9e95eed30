#pragma once

// The texts an existing database already holds, for an update to take over where a
// document has not changed since: its block in the collected file, found through the
// title-position file, is copied instead of extracting the document again.
//
//   const StoredTexts stored = StoredTexts::load(programFolder, name);
//   if (const auto block = stored.find(docPath, utf16, stampNow))
//       if (const auto check = checkStoredBlock(*block, marker)) ...   // copy the block over
//
// Nothing is taken over from a database whose stamps come from another extraction or are
// missing; a block that no longer starts with its document's marker line is not taken over
// either, so files changed behind the producer's back cost time, never wrong text.

#include "producer/docstamps.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace vespira::producer {

struct StoredBlock
{
    QString collectedPath;
    qint64 offset = 0; // of the marker line
    qint64 length = 0; // marker line and text, up to the next block
    uint32_t number = 0; // of the block in its collected file, as its index counts them
    int fd = -1;         // the collected file when the caller holds it open, for reads from any thread
};

class StoredTexts
{
public:
    static StoredTexts load(const QString &programFolder, const QString &name);

    // The block of the document when it still has the stamp it had; utf16 chooses the
    // collected file (MHT and EML documents) over the UTF-8 one.
    std::optional<StoredBlock> find(const QString &documentPath, bool utf16, const DocumentStamp &now) const;
    // Takes nothing over from one of the collected files (its file cannot be opened).
    void forget(bool utf16);
    // Whether the database holds the document at all, changed or not.
    bool holds(const QString &documentPath) const { return m_stamps.contains(documentPath); }
    qint64 documents() const { return m_stamps.size(); }
    // The block starts of a collected file, in the order of its title positions.
    const std::vector<qint64> &offsets(bool utf16) const { return utf16 ? m_utf16Offsets : m_utf8Offsets; }

private:
    QHash<QString, DocumentStamp> m_stamps;
    QHash<QString, StoredBlock> m_utf8;
    QHash<QString, StoredBlock> m_utf16;
    std::vector<qint64> m_utf8Offsets;
    std::vector<qint64> m_utf16Offsets;
};

struct BlockCheck
{
    bool endsWithLineEnd = false; // its last unit is CR or LF (unit: 1 byte, or 2 when utf16)
};

// Whether a block still starts with its marker line, read without reading the text; nullopt
// when it does not or cannot be read.
std::optional<BlockCheck> checkStoredBlock(const StoredBlock &block, QByteArrayView marker, bool utf16);

} // namespace vespira::producer
