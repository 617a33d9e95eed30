// The index's answers: which blocks may hold a search text; and out of date, damaged and
// missing indexes, which all read as "no index" without a crash.

#include "indexfixture.h"

#include "core/index/filestamp.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

// Four blocks; "Haus" in the first and third, "käse" in the last two (once as "KÄSE").
const QString Blocks[] = {
    u"#Z:\\a.htm\r\nDas Haus am See\r\n"_s,
    u"#Z:\\b.htm\r\nKein Treffer hier\r\n"_s,
    u"#Z:\\c.htm\r\nHAUSBOOT und KÄSE\r\n"_s,
    u"#Z:\\d.htm\r\nkäse mit \u212A (Kelvin)\r\n"_s,
};

void writeBlocks(test::IndexedDatabase &db, bool wide)
{
    QByteArray text;
    std::vector<qint64> titles;
    for (const QString &b : Blocks) {
        titles.push_back(text.size());
        text += wide ? test::utf16le(b) : b.toUtf8();
    }
    db.write(text, titles);
    db.build();
}

// The blocks the candidates of a search text hold, by number.
std::vector<int> candidateBlocks(const index::TrigramIndex &idx, const QString &text)
{
    const index::Candidates c = idx.candidates(text);
    std::vector<int> blocks;
    const auto &starts = idx.blockStarts();
    for (size_t i = 0; i < starts.size(); ++i)
        if (c.nextCandidateFrom(starts[i]) == starts[i])
            blocks.push_back(int(i));
    return blocks;
}

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

class CandidatesTest : public ::testing::TestWithParam<db::TextKind>
{
protected:
    void SetUp() override
    {
        writeBlocks(m_db, GetParam() == db::TextKind::Mht);
        m_index = m_db.open();
        ASSERT_EQ(m_index.status(), index::IndexStatus::Current);
    }

    std::vector<int> candidates(const QString &text) { return candidateBlocks(m_index, text); }

    test::IndexedDatabase m_db {GetParam()};
    index::TrigramIndex m_index;
};

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
            ASSERT_EQ(candidateBlocks(idx, text), candidateBlocks(original, text))
                << "byte " << i << ", " << text.toStdString();
        }
    }
}

TEST_P(CandidatesTest, FoldedTrigramsSelectTheBlocks)
{
    EXPECT_EQ(candidates(u"haus"_s), std::vector<int>({0, 2}));
    EXPECT_EQ(candidates(u"HAUS"_s), std::vector<int>({0, 2}));
    EXPECT_EQ(candidates(u"Käse"_s), std::vector<int>({2, 3}));
    // The Kelvin sign folds to k, in the text and in the search text alike.
    EXPECT_EQ(candidates(u"\u212Aelvin"_s), std::vector<int>({3}));
    EXPECT_EQ(candidates(u"\u212Aäse"_s), std::vector<int>({2, 3}));
    // Only the part before a line end counts: an occurrence cannot reach past it.
    EXPECT_EQ(candidates(u"am See\r\n#Z:\\b"_s), std::vector<int>({0}));

    const index::Candidates none = m_index.candidates(u"Zebra"_s);
    EXPECT_TRUE(none.narrows());
    EXPECT_FALSE(none.scanInstead());
    EXPECT_EQ(none.blockCount(), 0);
    EXPECT_EQ(none.nextCandidateFrom(0), m_index.fileSize());

    // Too short for a trigram, or in every block: the caller scans.
    EXPECT_FALSE(m_index.candidates(u"Ha"_s).narrows());
    EXPECT_TRUE(m_index.candidates(u"Ha"_s).scanInstead());
    EXPECT_TRUE(m_index.candidates(u"#Z:\\"_s).scanInstead(0));

    // Big-endian reading cannot use the index of the UTF-16 file.
    EXPECT_EQ(m_index.candidates(u"Haus"_s, true).narrows(), GetParam() == db::TextKind::Utf8);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CandidatesTest, ::testing::Values(db::TextKind::Utf8, db::TextKind::Mht));

TEST(Candidates, PositionsLeadToTheNextCandidate)
{
    test::IndexedDatabase db;
    writeBlocks(db, false);
    const index::TrigramIndex idx = db.open();
    EXPECT_EQ(idx.blockStarts(), std::vector<qint64>({0, 28, 58, 89}));
    EXPECT_EQ(idx.fileSize(), 124);

    const index::Candidates haus = idx.candidates(u"Haus"_s);
    EXPECT_EQ(haus.blockCount(), 2);
    EXPECT_EQ(haus.bytes(), 28 + 31);
    EXPECT_EQ(haus.runs(), 2);
    EXPECT_EQ(haus.nextCandidateFrom(5), 5);    // inside a candidate block
    EXPECT_EQ(haus.nextCandidateFrom(28), 58);  // the start of a block that is none
    EXPECT_EQ(haus.nextCandidateFrom(60), 60);
    EXPECT_EQ(haus.nextCandidateFrom(89), 124); // none left: the end of the file
    EXPECT_EQ(haus.nextCandidateFrom(-3), 0);
    EXPECT_EQ(haus.nextCandidateBlockStart(1), 58);
    EXPECT_EQ(haus.nextCandidateBlockStart(0), 0);
    EXPECT_EQ(haus.nextCandidateBlockStart(59), 124);

    const index::Candidates::Span first = haus.span(1);
    EXPECT_EQ(first.begin, 1);
    EXPECT_EQ(first.end, 28);
    const index::Candidates::Span second = haus.span(first.end);
    EXPECT_EQ(second.begin, 58);
    EXPECT_EQ(second.end, 89);
    EXPECT_EQ(haus.span(second.end).begin, 124);

    // Consecutive candidate blocks make one stretch that ends with the file.
    const index::Candidates kaese = idx.candidates(u"käse"_s);
    EXPECT_EQ(kaese.runs(), 1);
    EXPECT_EQ(kaese.span(0).begin, 58);
    EXPECT_EQ(kaese.span(0).end, 124);
}
