// The mapped scan of a file against the plain reference: windows of a few bytes put every
// match across a window edge somewhere, files end at and beside window edges, and a file
// that is cut short while it is scanned ends where its bytes end.

#include "core/search/referencescan.h"
#include "core/search/streamsearch.h"

#include "support/tempdir.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;

namespace {

using Matches = std::vector<std::pair<qint64, qint64>>;

QByteArray encode(const QString &text, bool utf8)
{
    if (utf8)
        return text.toUtf8();
    QByteArray bytes;
    for (const QChar ch : text)
        bytes.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    return bytes;
}

// Every match from the start of a file searched through its mapping.
Matches mappedScan(const QString &path, const QString &pattern, bool utf8, int options, int block,
                   qint64 window, const Progress &progress = {})
{
    TStreamSearch search(block, window);
    search.setFileName(path);
    search.setProgress(progress);
    Matches found;
    bool ok = search.FindFirst(pattern, 0, utf8 ? vEncUTF8 : vEncUnicodeLE, options);
    while (ok) {
        found.emplace_back(search.FoundStart(), search.FoundLength());
        ok = search.FindNext();
    }
    return found;
}

TEST(MappedScan, AgreesWithTheReferenceAcrossWindowEdges)
{
    test::TempProgramFolder folder;
    const QStringList alphabet {u"a"_s, u"b"_s, u"A"_s, u"ä"_s, u"Ä"_s, u" "_s, u","_s, u"\r\n"_s,
                                u"ß"_s, u"\u1E9E"_s, u"k"_s, u"\u212A"_s, u"i"_s, u"\u0130"_s};
    QRandomGenerator random(1207);
    for (int round = 0; round < 40; ++round) {
        QString text;
        const int length = 1 + int(random.bounded(700));
        while (text.size() < length)
            text += alphabet.at(random.bounded(alphabet.size()));
        for (const bool utf8 : {true, false}) {
            const QString path = folder.file(u"f%1.txt"_s.arg(round));
            folder.write(u"f%1.txt"_s.arg(round), encode(text, utf8));
            for (int p = 0; p < 3; ++p) {
                QString pattern = text.mid(int(random.bounded(text.size())), 1 + int(random.bounded(4)));
                if (random.bounded(2))
                    pattern = pattern.toUpper();
                const int options = int(random.bounded(4));
                const Matches expected = test::referenceScan(text, pattern, utf8, options & soCaseSensitive,
                                                             options & soWholeWords);
                for (const qint64 window : {1, 5, 64, 4096})
                    for (const int block : {3, 64, 65536})
                        ASSERT_EQ(mappedScan(path, pattern, utf8, options, block, window), expected)
                            << "utf8 " << utf8 << " window " << window << " block " << block << " pattern "
                            << pattern.toStdString() << " options " << options;
            }
        }
    }
}

TEST(MappedScan, WindowsMappedAheadAgreeWithTheReference)
{
    // Long enough for many windows of several pages, which a helper maps ahead.
    test::TempProgramFolder folder;
    const QStringList alphabet {u"Haus"_s, u"HAUS"_s, u"Maus"_s, u" "_s, u"\r\n"_s, u"ä"_s, u"x"_s};
    QRandomGenerator random(33);
    QString text;
    while (text.size() < 150000)
        text += alphabet.at(random.bounded(alphabet.size()));
    for (const bool utf8 : {true, false}) {
        folder.write(u"long.txt"_s, encode(text, utf8));
        for (const int options : {0, int(soWholeWords)}) {
            const Matches expected = test::referenceScan(text, u"haus"_s, utf8, false, options & soWholeWords);
            for (const qint64 window : {16384, 65536})
                for (const int block : {64, 65536})
                    ASSERT_EQ(mappedScan(folder.file(u"long.txt"_s), u"haus"_s, utf8, options, block, window), expected)
                        << "utf8 " << utf8 << " window " << window << " block " << block;
        }
    }
}

TEST(MappedScan, MatchesThatEndTheFileAtAWindowEdge)
{
    test::TempProgramFolder folder;
    for (const bool utf8 : {true, false}) {
        for (const int units : {4096, 4095, 8192}) {
            // "Haus" ends the file, which ends at (or a byte before) a window edge.
            const QString whole = QString(units - 5, u'x') + u" Haus"_s;
            folder.write(u"end.txt"_s, encode(whole, utf8));
            for (const qint64 window : {qint64(units) / 2, qint64(units), qint64(units) * (utf8 ? 1 : 2)}) {
                const Matches expected {{(units - 4) * (utf8 ? 1 : 2), 4 * (utf8 ? 1 : 2)}};
                EXPECT_EQ(mappedScan(folder.file(u"end.txt"_s), u"haus"_s, utf8, soWholeWords, 64, window), expected)
                    << "utf8 " << utf8 << " units " << units << " window " << window;
            }
        }
    }
}

TEST(MappedScan, AFileCutShortDuringTheScanEndsAtItsNewEnd)
{
    test::TempProgramFolder folder;
    // Hits in the first 2000 units and after 10000; nothing between but filler.
    QString text;
    for (int i = 0; text.size() < 2000; ++i)
        text += (i % 7 == 0 ? u"Haus "_s : u"Maus "_s) + QString(i % 13, u'x') + u"\r\n"_s;
    text += QString(10000 - text.size(), u'y');
    for (int i = 0; text.size() < 20000; ++i)
        text += u"Haus "_s;
    for (const bool utf8 : {true, false}) {
        const QString path = folder.file(u"cut.txt"_s);
        folder.write(u"cut.txt"_s, encode(text, utf8));
        // Cut while the scan is in the filler: the window mapped then reaches pages past
        // the new end, which fault when read.
        const qsizetype keptUnits = 5000;
        const qint64 keptBytes = encode(text.left(keptUnits), utf8).size();
        bool cut = false;
        const Progress cutter([&](qint64 position, qint64) {
            if (!cut && position >= 2500 * (utf8 ? 1 : 2)) {
                cut = true;
                ASSERT_TRUE(QFile::resize(path, keptBytes));
            }
        });
        const Matches found = mappedScan(path, u"haus"_s, utf8, soWholeWords, 64, 16384, cutter);
        EXPECT_TRUE(cut);
        EXPECT_EQ(found, test::referenceScan(text.left(keptUnits), u"haus"_s, utf8, false, true)) << utf8;
        ASSERT_FALSE(found.empty());
        EXPECT_LT(found.back().first, keptBytes);
    }
}

} // namespace
