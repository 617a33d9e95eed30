#include "core/common/error.h"
#include "core/common/text.h"
#include "core/search/streamsearch.h"

#include "core/search/referencescan.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;

namespace {

QByteArray utf16(const QString &s, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar ch : s) {
        const char lo = char(ch.unicode() & 0xFF), hi = char(ch.unicode() >> 8);
        bytes.append(bigEndian ? hi : lo);
        bytes.append(bigEndian ? lo : hi);
    }
    return bytes;
}

// Every match of a search from the start, in order, as (start, length).
std::vector<std::pair<qint64, qint64>> allForward(TStreamSearch &search, const QString &text,
                                                  TTextEncoding encoding, int options)
{
    std::vector<std::pair<qint64, qint64>> found;
    bool ok = search.FindFirst(text, 0, encoding, options);
    while (ok) {
        found.emplace_back(search.FoundStart(), search.FoundLength());
        ok = search.FindNext();
    }
    return found;
}

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

class StreamSearchBlocks : public ::testing::TestWithParam<int>
{
};

TEST_P(StreamSearchBlocks, FindsTextAcrossABlockEdgeInEveryEncoding)
{
    const int block = GetParam();
    const QString filler = QString(block + 5, u'x');
    // "KÄSE" starts two units before the first block edge, so it straddles it.
    const QString text = filler.left(block - 2 > 0 ? block - 2 : 0) + u" KÄSE "_s + filler;

    Searcher utf8(text.toUtf8(), block);
    ASSERT_TRUE(utf8.search.FindFirst(u"käse"_s, 0, vEncUTF8, 0));
    EXPECT_EQ(utf8.search.FoundStart(), text.indexOf(u"KÄSE"_s));
    EXPECT_EQ(utf8.search.FoundLength(), 5);
    EXPECT_FALSE(utf8.search.FindFirst(u"käse"_s, 0, vEncUTF8, soCaseSensitive));

    for (const bool bigEndian : {false, true}) {
        Searcher wide(utf16(text, bigEndian), block);
        const TTextEncoding right = bigEndian ? vEncUnicodeBE : vEncUnicodeLE;
        const TTextEncoding wrong = bigEndian ? vEncUnicodeLE : vEncUnicodeBE;
        ASSERT_TRUE(wide.search.FindFirst(u"KÄSE"_s, 0, right, soCaseSensitive | soWholeWords));
        EXPECT_EQ(wide.search.FoundStart(), 2 * text.indexOf(u"KÄSE"_s));
        EXPECT_EQ(wide.search.FoundLength(), 8);
        EXPECT_TRUE(wide.search.FindFirst(u"käse"_s, 0, right, 0));
        EXPECT_FALSE(wide.search.FindFirst(u"KÄSE"_s, 0, wrong, soCaseSensitive));
    }
}

TEST_P(StreamSearchBlocks, WholeWordsSeeTheTrueNeighboursAtABlockStart)
{
    const int block = GetParam();
    // With blocks of this size some window starts right at "Haus" while "x" precedes it.
    QString text;
    for (int i = 0; i < 40; ++i)
        text += u"xHaus Hausboot "_s;
    text += u"(Haus)"_s;
    Searcher s(text.toUtf8(), block);
    const auto found = allForward(s.search, u"Haus"_s, vEncUTF8, soWholeWords | soCaseSensitive);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().first, text.size() - 5);
}

TEST_P(StreamSearchBlocks, FindNextAndFindPreviousVisitEveryOccurrence)
{
    const int block = GetParam();
    const QByteArray data = "aa ab aaa Aa aA"_ba;
    Searcher s(data, block);
    const auto forward = allForward(s.search, u"aa"_s, vEncANSI, 0);
    std::vector<qint64> starts;
    for (const auto &f : forward)
        starts.push_back(f.first);
    EXPECT_EQ(starts, (std::vector<qint64> {0, 6, 7, 10, 13}));

    // Backward from 0 starts at the end.
    std::vector<qint64> backward;
    bool ok = s.search.FindFirst(u"aa"_s, 0, vEncANSI, soBackward);
    while (ok) {
        backward.push_back(s.search.FoundStart());
        ok = s.search.FindPrevious();
    }
    EXPECT_EQ(backward, (std::vector<qint64> {13, 10, 7, 6, 0}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, StreamSearchBlocks, ::testing::Values(1, 2, 3, 7, 4096, 65536));

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
        Searcher ansi(text::toAnsi(c.text));
        EXPECT_EQ(ansi.search.FindFirst(u"Haus"_s, 0, vEncANSI, soWholeWords), c.whole) << c.text.toStdString();
        Searcher wide(utf16(c.text, false));
        EXPECT_EQ(wide.search.FindFirst(u"Haus"_s, 0, vEncUnicodeLE, soWholeWords), c.whole) << c.text.toStdString();
    }
}

TEST(StreamSearch, CaseFoldingPerEncoding)
{
    // UTF-8 folds per code point: umlauts match, different letters never do.
    Searcher utf8(u"Kein Ärger mit ÖL"_s.toUtf8());
    EXPECT_TRUE(utf8.search.FindFirst(u"ärger"_s, 0, vEncUTF8, 0));
    EXPECT_EQ(utf8.search.FoundStart(), 5);
    EXPECT_TRUE(utf8.search.FindFirst(u"öl"_s, 0, vEncUTF8, 0));
    EXPECT_FALSE(utf8.search.FindFirst(u"örger"_s, 0, vEncUTF8, 0));
    EXPECT_FALSE(utf8.search.FindFirst(u"ärger"_s, 0, vEncUTF8, soCaseSensitive));

    // Characters outside the BMP are searched in their 4-byte form.
    Searcher emoji(u"a 😀 b"_s.toUtf8());
    EXPECT_TRUE(emoji.search.FindFirst(u"😀"_s, 0, vEncUTF8, soCaseSensitive));
    EXPECT_EQ(emoji.search.FoundLength(), 4);

    // A match may be longer in the file than the text: "k" folds with the Kelvin sign.
    Searcher kelvin(u"5 \u212A warm"_s.toUtf8());
    ASSERT_TRUE(kelvin.search.FindFirst(u"k warm"_s, 0, vEncUTF8, 0));
    EXPECT_EQ(kelvin.search.FoundLength(), 3 + 5);

    // The capital sharp s folds to ß although it is one byte longer.
    Searcher sharp(u"DIE GRÖ\u1E9EE"_s.toUtf8());
    ASSERT_TRUE(sharp.search.FindFirst(u"größe"_s, 0, vEncUTF8, 0));
    EXPECT_EQ(sharp.search.FoundLength(), 8);

    // windows-1252: the 8-bit lower case of the code page.
    Searcher ansi(text::toAnsi(u"GROSSER ÄRGER"_s));
    EXPECT_TRUE(ansi.search.FindFirst(u"ärger"_s, 0, vEncANSI, 0));
    EXPECT_EQ(ansi.search.FoundStart(), 8);
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

TEST(StreamSearch, EdgesOfTheStream)
{
    Searcher oneByte("a"_ba);
    EXPECT_FALSE(oneByte.search.FindFirst(u"a"_s, 0, vEncUnicodeLE, 0));
    EXPECT_TRUE(oneByte.search.FindFirst(u"a"_s, 0, vEncANSI, 0));

    Searcher s("Haus am Haus"_ba);
    EXPECT_FALSE(s.search.FindFirst(QString {}, 0, vEncANSI, 0));
    EXPECT_EQ(s.search.FoundStart(), -1);
    EXPECT_EQ(s.search.FoundLength(), 0);
    EXPECT_FALSE(s.search.FindFirst(u"Haus"_s, 100, vEncANSI, 0));
    EXPECT_TRUE(s.search.FindFirst(u"Haus"_s, -5, vEncANSI, 0));
    EXPECT_EQ(s.search.FoundStart(), 0);
    EXPECT_TRUE(s.search.FindFirst(u"Haus"_s, 1, vEncANSI, 0));
    EXPECT_EQ(s.search.FoundStart(), 8);
    // The last match counts as a whole word at the end of the stream.
    EXPECT_TRUE(s.search.FindFirst(u"Haus"_s, 5, vEncANSI, soWholeWords));

    // A requested cancel stops the search.
    CancelToken cancel;
    cancel.request();
    s.search.setProgress(Progress({}, &cancel));
    EXPECT_FALSE(s.search.FindFirst(u"Haus"_s, 0, vEncANSI, 0));
}

TEST(StreamSearch, OpensFilesAndReportsReadErrors)
{
    test::TempProgramFolder folder;
    folder.write(u"a.txt"_s, "x Haus"_ba);
    TStreamSearch search;
    search.setFileName(folder.file(u"a.txt"_s));
    EXPECT_TRUE(search.FindFirst(u"haus"_s, 0, vEncUTF8, 0));
    EXPECT_EQ(search.FoundStart(), 2);
    try {
        search.setFileName(folder.file(u"fehlt.txt"_s));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), folder.file(u"fehlt.txt"_s) + u" kann nicht geöffnet werden."_s);
    }

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

TEST(StreamSearchDifferential, AgreesWithAReferenceScanOnGeneratedFiles)
{
    const QStringList alphabet {u"a"_s, u"b"_s, u"A"_s, u"B"_s, u"ä"_s, u"Ä"_s, u" "_s, u","_s,
                                u"_"_s, u"#"_s, u"C"_s, u":"_s, u"\\"_s, u"\r\n"_s, u"é"_s, u"€"_s,
                                u"ß"_s, u"\u1E9E"_s, u"k"_s, u"\u212A"_s};
    QRandomGenerator random(4711);
    for (int round = 0; round < 60; ++round) {
        QString file;
        const int length = 1 + int(random.bounded(400));
        while (file.size() < length)
            file += alphabet.at(random.bounded(alphabet.size()));
        for (const int block : {1, 3, 7, 64, 4096}) {
            for (int p = 0; p < 4; ++p) {
                const int start = int(random.bounded(file.size()));
                QString pattern = file.mid(start, 1 + int(random.bounded(5)));
                if (random.bounded(2))
                    pattern = pattern.toUpper();
                const int options = int(random.bounded(4)); // case and whole-word bits
                const bool cs = options & soCaseSensitive, ww = options & soWholeWords;

                Searcher utf8(file.toUtf8(), block);
                EXPECT_EQ(allForward(utf8.search, pattern, vEncUTF8, options),
                          test::referenceScan(file, pattern, true, cs, ww))
                    << "utf8 block " << block << " pattern " << pattern.toStdString();

                const bool bigEndian = random.bounded(2);
                Searcher wide(utf16(file, bigEndian), block);
                EXPECT_EQ(allForward(wide.search, pattern, bigEndian ? vEncUnicodeBE : vEncUnicodeLE, options),
                          test::referenceScan(file, pattern, false, cs, ww))
                    << "utf16 block " << block << " pattern " << pattern.toStdString();
            }
        }
    }
}

} // namespace
