#include "core/common/error.h"
#include "core/search/streamsearch.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;

namespace {

struct Searcher
{
    explicit Searcher(const QByteArray &bytes, int blockSize = TStreamSearch::DefaultBlockSize)
        : data {bytes}
        , search {blockSize}
    {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        search.setStream(&buffer);
    }
    QByteArray data;
    QBuffer buffer;
    TStreamSearch search;
};

// The search runs over mapped files; its stream mode, backward search and the other
// encodings are checked against references by the fuzz target. What stays here: the
// separator set, a fixed defect and a message text.

TEST(StreamSearch, WholeWordSeparators)
{
    struct Case
    {
        QString text;
        bool whole;
    };
    const std::vector<Case> cases {
        {u"ein Haus, zwei"_s, true},  {u"(Haus)"_s, true},       {u"Haus"_s, true},
        {u"am Haus"_s, true},         {u"Haus_1"_s, false},      {u"Hausboot"_s, false},
        {u"éHaus"_s, false},          {u"Hausé"_s, false},       {u"9Haus"_s, false},
        {u"[Haus]"_s, true},          {u"`Haus~"_s, true},       {u"@Haus:"_s, true},
    };
    for (const Case &c : cases) {
        Searcher utf8(c.text.toUtf8());
        EXPECT_EQ(utf8.search.FindFirst(u"Haus"_s, 0, vEncUTF8, soWholeWords), c.whole) << c.text.toStdString();
    }
}

TEST(StreamSearch, ZeroWidthNoBreakSpaceCountsItsThreeBytes)
{
    // U+FEFF, pasted from web pages, in a text searched without regard to case: its three
    // bytes must count, or a match near a window edge or starting with it is missed.
    const QString text = u"~~\uFEFF~~;~"_s;
    const QByteArray file = u"~~~\uFEFF~~;~ \uFEFFHaus"_s.toUtf8();
    for (const int block : {1, 2, 3, 64}) {
        Searcher s(file, block);
        ASSERT_TRUE(s.search.FindFirst(text, 0, vEncUTF8, soWholeWords)) << block;
        EXPECT_EQ(s.search.FoundStart(), 1);
        EXPECT_EQ(s.search.FoundLength(), 9);
        ASSERT_TRUE(s.search.FindFirst(u"\uFEFFhaus"_s, 0, vEncUTF8, 0)) << block;
        EXPECT_EQ(s.search.FoundStart(), 11);
        EXPECT_EQ(s.search.FoundLength(), 7);
    }
    const PatternMatcher matcher(u"\uFEFFk"_s, vEncUTF8, false, false);
    EXPECT_EQ(matcher.minLength(), 4);
    EXPECT_EQ(matcher.maxLength(), 6); // the Kelvin sign takes three bytes
}

// A file that cannot be opened is the search loop's test; cancel is the search run's.
TEST(StreamSearch, AReadErrorIsReported)
{
    // A device whose reads fail beyond a point.
    class Failing : public QBuffer
    {
    protected:
        qint64 readData(char *data, qint64 maxSize) override
        {
            if (pos() >= 10)
                return -1;
            return QBuffer::readData(data, maxSize);
        }
    };
    Failing failing;
    failing.setData(QByteArray(100, 'x'));
    failing.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    TStreamSearch small(7);
    small.setStream(&failing);
    try {
        small.FindFirst(u"Haus"_s, 0, vEncANSI, 0);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith(u"Read error at offset "_s));
    }
}

} // namespace
