// The search run with the trigram index against the same run without it: on random
// collections and search texts the hits and the result pages are byte-equal; an index the
// run cannot use is said once, a missing one not at all.

#include "core/index/filestamp.h"
#include "core/index/indexfiles.h"
#include "core/search/candidatesource.h"
#include "core/search/searchrun.h"

#include "core/search/searchfixture.h"
#include "support/guicontext.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;
using vespira::test::FixtureDocument;

namespace {

// Case pairs, umlauts, sharp s and its capital, the Kelvin sign, dotted and dotless i,
// non-BMP letters with case, an emoji, word edges, the database's own marker and line ends.
const QStringList Pieces = {
    u"Haus"_s, u"haus"_s, u"HAUS"_s, u"See"_s, u"Käse"_s, u"KÄSE"_s, u"Kaese"_s, u"STRASSE"_s, u"ö"_s, u"Ü"_s, u"ß"_s, u"\u1E9E"_s,
    u"k"_s, u"\u212A"_s, u"i"_s, u"\u0130"_s, u"\u0131"_s, u"\U00010400"_s, u"\U00010428"_s, u"\U0001F600"_s,
    u"x"_s, u"1"_s, u" "_s, u" "_s, u","_s, u"_"_s, u"#"_s, u"#Q:\\"_s, u"\r\n"_s, u"\r\n"_s,
};

const QStringList Letters = {u"a"_s, u"b"_s, u"d"_s, u"ä"_s, u"Ä"_s, u"k"_s, u"K"_s, u"ß"_s, u"o"_s, u"\U00010400"_s};

const QString Outdated = QString::fromUtf16(index::OutdatedMessage);

class StatusLog final : public SearchRunUi
{
public:
    void setStatus(const QString &text) override { log << text; }
    QStringList log;
};

struct Outcome
{
    QList<Hit> hits;
    QList<QByteArray> pages;
    QStringList status;
};

class IndexedSearchTest : public ::testing::Test
{
protected:
    void makeDatabase(const std::vector<FixtureDocument> &utf8, const std::vector<FixtureDocument> &utf16)
    {
        test::writeFileList(t.folder, u"Archiv"_s, u"Q"_s, utf8);
        test::writeCollected(t.folder, u"Archiv"_s, utf8, false);
        test::writeCollected(t.folder, u"Archiv"_s, utf16, true);
        index::writeIndexFiles(t.folder.path(), u"Archiv"_s, {});
    }

    Outcome search(const QString &text, bool caseSensitive, bool wholeWords, bool useIndex, int block = 97,
                   qint64 window = MappedFile::DefaultWindowBytes, qint64 jumpCost = -1, int options = 0)
    {
        StatusLog ui;
        SearchRun run(t.context, ui);
        run.setOpenBrowser(false);
        run.setBlockSize(block);
        run.setMapWindow(window);
        run.setJumpCost(jumpCost);
        SearchRequest request;
        request.searchText = text;
        request.databaseName = u"Archiv"_s;
        request.caseSensitive = caseSensitive;
        request.wholeWords = wholeWords;
        request.useIndex = useIndex;
        request.allWords = options & 1;
        request.umlauts = options & 2;
        request.countHits = options & 4;
        run.run(request);
        Outcome outcome {run.hits(), {}, ui.log};
        const QDir temp(t.folder.file(u"Datenbank/Temp"_s));
        for (const QString &name : temp.entryList({u"Vespira_Ergebnis*.htm"_s}, QDir::Files, QDir::Name))
            outcome.pages << t.folder.read(u"Datenbank/Temp/"_s + name);
        return outcome;
    }

    // Whether the index narrows the search for text in the UTF-8 file.
    bool narrowed(const QString &text, qint64 jumpCost)
    {
        CandidateSource source(index::openIndex(t.folder.path(), u"Archiv"_s, db::TextKind::Utf8), jumpCost);
        return source.spansFor(text, false) != nullptr;
    }

    test::TestContext t;
};

std::vector<FixtureDocument> randomDocuments(QRandomGenerator &rng, QString &all)
{
    std::vector<FixtureDocument> docs;
    const int count = 1 + rng.bounded(30);
    for (int d = 0; d < count; ++d) {
        QString text;
        // Mostly short documents, some so short that a window of the scan holds several,
        // now and then one that spans several mapped windows.
        const int size = rng.bounded(8);
        const int pieces = size == 0 ? 1500 + rng.bounded(3000) : size < 3 ? rng.bounded(4) : rng.bounded(60);
        for (int i = 0; i < pieces; ++i) {
            if (rng.bounded(6) == 0) {
                // A made-up word: its trigrams are rare, so the index narrows the search.
                const int letters = 3 + rng.bounded(4);
                for (int l = 0; l < letters; ++l)
                    text += Letters.at(rng.bounded(Letters.size()));
            } else {
                text += Pieces.at(rng.bounded(Pieces.size()));
            }
        }
        docs.push_back({u"Q:\\d\\doc%1.htm"_s.arg(d), text});
        all += u"#"_s + docs.back().path + u"\r\n"_s + text + u"\r\n"_s;
    }
    return docs;
}

QString randomSearchText(QRandomGenerator &rng, const QString &all)
{
    QString s;
    const int kind = rng.bounded(3);
    if (kind == 0) {
        const int n = 1 + rng.bounded(3);
        for (int i = 0; i < n; ++i)
            s += Pieces.at(rng.bounded(Pieces.size()));
    } else if (kind == 1) {
        // From a marker line on, where a stretch of candidates begins.
        const qsizetype marker = all.indexOf(u'#', rng.bounded(all.size()));
        s = all.mid(marker < 0 ? 0 : marker, 9 + rng.bounded(12));
    } else {
        s = all.mid(rng.bounded(all.size()), rng.bounded(3) == 0 ? 1 + rng.bounded(3) : 4 + rng.bounded(8));
    }
    if (rng.bounded(6) == 0)
        s.prepend(u'#');
    if (rng.bounded(3) == 0)
        for (QChar &ch : s)
            if (rng.bounded(3) == 0)
                ch = rng.bounded(2) ? ch.toUpper() : ch.toLower();
    return s;
}

TEST_F(IndexedSearchTest, HitsAndPagesAreThoseOfTheScan)
{
    QRandomGenerator rng(1604);
    int searches = 0;
    int narrowing = 0;
    for (int round = 0; round < 24; ++round) {
        QString all;
        const auto utf8 = randomDocuments(rng, all);
        const auto utf16 = randomDocuments(rng, all);
        makeDatabase(utf8, utf16);
        for (int k = 0; k < 10; ++k) {
            const QString text = randomSearchText(rng, all);
            const bool caseSensitive = rng.bounded(3) == 0;
            const bool wholeWords = rng.bounded(3) == 0;
            // Windows of the scan that hold several stretches, and that jump from one to the
            // next; the index used wherever it narrows at all, or only where it pays.
            const int block = rng.bounded(2) ? 97 : 65536;
            const qint64 window = rng.bounded(2) ? 4096 : MappedFile::DefaultWindowBytes;
            const qint64 jumpCost = rng.bounded(2) ? 0 : block;
            // Now and then the options: every word, umlaut spellings, counts (bits 1, 2, 4).
            const int options = rng.bounded(3) == 0 ? 1 + rng.bounded(7) : 0;
            SCOPED_TRACE("round " + std::to_string(round) + " text \"" + text.toStdString() + "\" case "
                         + std::to_string(caseSensitive) + " words " + std::to_string(wholeWords) + " options "
                         + std::to_string(options));
            const Outcome scan = search(text, caseSensitive, wholeWords, false, 97, MappedFile::DefaultWindowBytes, -1,
                                        options);
            const Outcome indexed = search(text, caseSensitive, wholeWords, true, block, window, jumpCost, options);
            ASSERT_EQ(indexed.hits, scan.hits);
            ASSERT_EQ(indexed.pages, scan.pages);
            EXPECT_FALSE(indexed.status.contains(Outdated));
            ++searches;
            narrowing += narrowed(text, jumpCost);
        }
    }
    // The comparison means something only where the index did narrow the search.
    EXPECT_GT(narrowing, searches / 4) << narrowing << " of " << searches;
}

TEST_F(IndexedSearchTest, AWindowHoldingSeveralStretchesGoesOnToTheNext)
{
    // "KÄSE" makes its block a candidate for "Käse" with case too; the window that finds
    // no match there reaches the file's end, and the next stretch holds one.
    makeDatabase({{u"Q:\\a.htm"_s, u"KÄSE"_s}, {u"Q:\\b.htm"_s, u"Brot"_s}, {u"Q:\\c.htm"_s, u"Käse"_s}},
                 {{u"Q:\\m.eml"_s, u"käse"_s}, {u"Q:\\n.eml"_s, u"Brot"_s}, {u"Q:\\o.eml"_s, u"Käse"_s}});
    const Outcome scan = search(u"Käse"_s, true, false, false);
    ASSERT_EQ(scan.hits.size(), 2);
    EXPECT_EQ(search(u"Käse"_s, true, false, true, 65536, MappedFile::DefaultWindowBytes, 0).hits, scan.hits);
}

TEST_F(IndexedSearchTest, AnIndexTheRunCannotUseIsSaidOnceAMissingOneNot)
{
    std::vector<FixtureDocument> utf8, utf16;
    for (int i = 0; i < 40; ++i) {
        utf8.push_back({u"Q:\\d\\u%1.htm"_s.arg(i), (i % 9 == 0 ? u"ein Haus am See "_s : u"nur Text "_s) + QString::number(i)});
        utf16.push_back({u"Q:\\d\\m%1.eml"_s.arg(i), (i % 13 == 0 ? u"HAUS"_s : u"Mail"_s) + QString::number(i)});
    }
    const QString utf8Index = u"Datenbank/Archiv_UTF8Trigramme.idx"_s;
    const QString mhtIndex = u"Datenbank/Archiv_MHTTrigramme.idx"_s;

    // A byte of the UTF-8 index whose change leaves the file readable but fails the check of
    // a list the search reads.
    makeDatabase(utf8, utf16);
    const QByteArray good = t.folder.read(utf8Index);
    QByteArray listDamaged;
    const auto stamp = index::stampOf(db::collectedTextPath(t.folder.path(), u"Archiv"_s, db::TextKind::Utf8));
    for (qsizetype i = index::HeaderSize; i < good.size() && listDamaged.isEmpty(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x10);
        const auto idx = index::TrigramIndex::fromBytes(bad, index::IndexedText::Utf8, stamp);
        if (idx.usable() && idx.candidates(u"Haus"_s).damaged())
            listDamaged = bad;
    }
    ASSERT_FALSE(listDamaged.isEmpty());

    struct Case
    {
        const char *name;
        std::function<void()> spoil;
        bool said;
    };
    const std::vector<Case> cases {
        {"current", [] {}, false},
        {"missing", [&] { QFile::remove(t.folder.file(utf8Index)), QFile::remove(t.folder.file(mhtIndex)); }, false},
        {"both out of date",
         [&] {
             auto changed = utf8;
             changed[3].text += u" Haus"_s;
             test::writeCollected(t.folder, u"Archiv"_s, changed, false);
             auto changedMht = utf16;
             changedMht[0].text = u"haus"_s;
             test::writeCollected(t.folder, u"Archiv"_s, changedMht, true);
         },
         true},
        {"both damaged", [&] { t.folder.write(utf8Index, QByteArray(500, 'x')), t.folder.write(mhtIndex, good); }, true},
        {"a list damaged", [&] { t.folder.write(utf8Index, listDamaged); }, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        makeDatabase(utf8, utf16);
        c.spoil();
        const Outcome scan = search(u"haus"_s, false, false, false);
        const Outcome indexed = search(u"haus"_s, false, false, true);
        EXPECT_FALSE(scan.hits.isEmpty());
        EXPECT_EQ(indexed.hits, scan.hits);
        EXPECT_EQ(indexed.pages, scan.pages);
        EXPECT_EQ(indexed.status.count(Outdated), c.said ? 1 : 0) << indexed.status.join(u" | "_s).toStdString();
        // It stands in the status line while the scan goes on, after "Suche läuft...".
        if (c.said) {
            EXPECT_EQ(indexed.status.indexOf(Outdated), indexed.status.indexOf(u"Suche läuft..."_s) + 1);
        }
        EXPECT_FALSE(scan.status.contains(Outdated)) << "--scan does not look at the index";
    }
}

} // namespace
