#pragma once

// A database with one collected text file and its title positions in a temporary program
// folder, and the trigram index built from them.

#include "core/db/dbfiles.h"
#include "core/index/indexfiles.h"
#include "core/search/searchfixture.h"
#include "support/tempdir.h"

#include <QByteArray>

#include <vector>

namespace vespira::test {

class IndexedDatabase
{
public:
    explicit IndexedDatabase(db::TextKind kind = db::TextKind::Utf8)
        : m_kind(kind)
    {
    }

    // The collected file and a title-position line per offset.
    void write(const QByteArray &text, const std::vector<qint64> &titles)
    {
        QByteArray lines;
        for (const qint64 t : titles)
            lines += QByteArray::number(t) + " #Z:\\d" + QByteArray::number(t) + ".htm\r\n";
        folder.write(QStringLiteral("Datenbank/T.dat"), "PFAD_UND_ENDUNGEN=Z:\\\r\n");
        folder.write(QStringLiteral("Datenbank/T") + db::collectedTextSuffix(m_kind), text);
        folder.write(QStringLiteral("Datenbank/T") + db::titlePositionsSuffix(m_kind), lines);
    }

    index::BuildResult build(qint64 slicePairs = index::BuildInput {}.slicePairs, const Progress &progress = {})
    {
        index::BuildInput input;
        input.collectedPath = collectedPath();
        input.titlesPath = db::titlePositionsPath(folder.path(), QStringLiteral("T"), m_kind);
        input.kind = index::indexedTextOf(m_kind);
        input.slicePairs = slicePairs;
        m_bytes.clear();
        const auto result = index::buildTrigramIndex(input, [&](const QByteArray &b) { m_bytes += b; }, progress);
        if (!result.cancelled)
            folder.write(QStringLiteral("Datenbank/T") + index::indexSuffix(m_kind), m_bytes);
        return result;
    }

    index::TrigramIndex open() const { return index::openIndex(folder.path(), QStringLiteral("T"), m_kind); }
    const QByteArray &indexBytes() const { return m_bytes; }
    QString collectedPath() const { return db::collectedTextPath(folder.path(), QStringLiteral("T"), m_kind); }
    QString indexPath() const { return index::indexPath(folder.path(), QStringLiteral("T"), m_kind); }
    index::IndexedText indexedText() const { return index::indexedTextOf(m_kind); }

    TempProgramFolder folder;

private:
    db::TextKind m_kind;
    QByteArray m_bytes;
};

} // namespace vespira::test
