// Out of date, damaged and missing indexes all read as "no index", and none crashes.

#include "indexfixture.h"

#include "core/index/filestamp.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

QByteArray sampleText()
{
    QByteArray text;
    for (int i = 0; i < 40; ++i)
        text += "#Z:\\d" + QByteArray::number(i) + ".htm\r\nZeile " + QByteArray::number(i * 7919)
            + " mit Wörtern wie Haus, Käse und Übermut " + QByteArray(i % 5, 'x') + "\r\n";
    return text;
}

std::vector<qint64> markerOffsets(const QByteArray &text)
{
    std::vector<qint64> offsets;
    for (qsizetype at = text.indexOf("#Z:"); at >= 0; at = text.indexOf("#Z:", at + 1))
        offsets.push_back(at);
    return offsets;
}

class ReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db.write(sampleText(), markerOffsets(sampleText()));
        m_db.build();
        ASSERT_EQ(m_db.open().status(), index::IndexStatus::Current);
    }

    void setModified(const QDateTime &when)
    {
        QFile f(m_db.collectedPath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    test::IndexedDatabase m_db;
};

// For each block: is it a candidate? Empty when the answer is "everything".
std::vector<bool> answer(const index::TrigramIndex &idx, const QString &text)
{
    const index::Candidates c = idx.candidates(text);
    std::vector<bool> flags;
    if (!c.narrows())
        return flags;
    for (const qint64 s : idx.blockStarts())
        flags.push_back(c.nextCandidateFrom(s) == s);
    return flags;
}

} // namespace

TEST_F(ReaderTest, AnyChangeOfTheCollectedFileMakesItOutOfDate)
{
    const QDateTime modified = QFileInfo(m_db.collectedPath()).lastModified();

    setModified(modified.addSecs(60)); // touched, same bytes
    EXPECT_EQ(m_db.open().status(), index::IndexStatus::OutOfDate);
    setModified(modified);
    EXPECT_EQ(m_db.open().status(), index::IndexStatus::Current);

    // Same size and time, one letter changed: the sampled digest tells.
    QByteArray changed = sampleText();
    changed[20] = 'Y';
    m_db.folder.write(u"Datenbank/T_UTF8Dokument.txt"_s, changed);
    setModified(modified);
    EXPECT_EQ(m_db.open().status(), index::IndexStatus::OutOfDate);

    m_db.folder.write(u"Datenbank/T_UTF8Dokument.txt"_s, sampleText() + "mehr");
    setModified(modified);
    const index::TrigramIndex outOfDate = m_db.open();
    EXPECT_EQ(outOfDate.status(), index::IndexStatus::OutOfDate);
    EXPECT_FALSE(outOfDate.candidates(u"Haus"_s).narrows());
}

TEST_F(ReaderTest, MissingFilesMeanNoIndex)
{
    QFile::remove(m_db.indexPath());
    EXPECT_EQ(m_db.open().status(), index::IndexStatus::Missing);
    m_db.build();
    QFile::remove(m_db.collectedPath());
    EXPECT_EQ(m_db.open().status(), index::IndexStatus::Missing);
}

TEST_F(ReaderTest, DamagedFilesMeanNoIndex)
{
    const QByteArray good = m_db.indexBytes();
    for (const QByteArray &bad : QList<QByteArray> {QByteArray(), good.left(good.size() - 1), good.left(100),
                                                     QByteArray(good.size(), 'x'), good + QByteArray("x")}) {
        m_db.folder.write(u"Datenbank/T_UTF8Trigramme.idx"_s, bad);
        const index::TrigramIndex idx = m_db.open();
        EXPECT_EQ(idx.status(), index::IndexStatus::Damaged) << bad.size();
        EXPECT_FALSE(idx.candidates(u"Haus"_s).narrows());
    }
    // An index of the UTF-16 file is no index of the UTF-8 file.
    EXPECT_EQ(index::TrigramIndex::fromBytes(good, index::IndexedText::Utf16LE).status(),
              index::IndexStatus::Damaged);
}

TEST_F(ReaderTest, EveryFlippedByteIsCaughtOrChangesNothing)
{
    const QByteArray good = m_db.indexBytes();
    const std::optional<index::FileStamp> stamp = index::stampOf(m_db.collectedPath());
    ASSERT_TRUE(stamp.has_value());
    const QStringList texts {u"Haus"_s, u"käse"_s, u"Zeile 7919"_s, u"nirgends"_s};
    const index::TrigramIndex original = index::TrigramIndex::fromBytes(good, index::IndexedText::Utf8, stamp);
    ASSERT_TRUE(original.usable());
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x21);
        const index::TrigramIndex idx = index::TrigramIndex::fromBytes(bad, index::IndexedText::Utf8, stamp);
        if (!idx.usable())
            continue;
        for (const QString &text : texts) {
            const index::Candidates c = idx.candidates(text);
            if (c.damaged())
                continue;
            ASSERT_EQ(answer(idx, text), answer(original, text)) << "byte " << i << ", " << text.toStdString();
        }
    }
}
