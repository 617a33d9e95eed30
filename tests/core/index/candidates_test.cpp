#include "indexfixture.h"

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

// The candidate blocks, by number.
std::vector<int> blocksOf(const index::Candidates &c, const index::TrigramIndex &idx)
{
    std::vector<int> blocks;
    const auto &starts = idx.blockStarts();
    for (size_t i = 0; i < starts.size(); ++i)
        if (c.nextCandidateFrom(starts[i]) == starts[i])
            blocks.push_back(int(i));
    return blocks;
}

class CandidatesTest : public ::testing::TestWithParam<db::TextKind>
{
protected:
    void SetUp() override
    {
        writeBlocks(m_db, GetParam() == db::TextKind::Mht);
        m_index = m_db.open();
        ASSERT_EQ(m_index.status(), index::IndexStatus::Current);
    }

    std::vector<int> candidates(const QString &text) { return blocksOf(m_index.candidates(text), m_index); }

    test::IndexedDatabase m_db {GetParam()};
    index::TrigramIndex m_index;
};

} // namespace

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
