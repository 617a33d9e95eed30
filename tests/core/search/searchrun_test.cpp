#include "core/common/error.h"
#include "core/output/resultpage.h"
#include "core/search/searchrun.h"

#include "core/search/searchfixture.h"
#include "support/guicontext.h"

#include <QDir>
#include <QRandomGenerator>

#include <utility>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;
using vespira::test::FixtureDocument;

namespace {

class RecordingUi final : public SearchRunUi
{
public:
    void setRunControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void setCancelHint(const QString &hint) override { cancelHint = hint; }
    void setBusy(bool busy) override { log << (busy ? u"timer on"_s : u"timer off"_s); }
    void prepareViewer(CollectedKind kind) override { log << (kind == CollectedKind::Utf8 ? u"viewer utf8"_s : u"viewer utf16"_s); }
    void progress(qint64, qint64) override
    {
        if (onPump)
            onPump();
    }

    QStringList log;
    bool controlsEnabled = true;
    QString cancelHint;
    std::function<void()> onPump;
};

class SearchRunTest : public ::testing::Test
{
protected:
    std::vector<FixtureDocument> docs(int count, const QString &text = u"ein Haus"_s)
    {
        std::vector<FixtureDocument> list;
        for (int i = 0; i < count; ++i)
            list.push_back({u"Q:\\d\\doc%1.htm"_s.arg(i), text});
        return list;
    }

    void makeDatabase(const std::vector<FixtureDocument> &utf8, const std::vector<FixtureDocument> &utf16 = {},
                      const QString &name = u"Archiv"_s)
    {
        test::writeFileList(t.folder, name, u"Q"_s, utf8);
        if (!utf8.empty())
            test::writeCollected(t.folder, name, utf8, false);
        if (!utf16.empty())
            test::writeCollected(t.folder, name, utf16, true);
    }

    SearchOutcome search(const QString &text, SearchRequest request = {})
    {
        request.searchText = text;
        request.databaseName = u"Archiv"_s;
        SearchRun run(t.context, ui);
        run.setBlockSize(blockSize);
        const SearchOutcome outcome = run.run(request);
        hits = run.hits();
        return outcome;
    }

    // Empty when the page was not written.
    QString page(int number)
    {
        return QString::fromUtf8(t.folder.read(u"Datenbank/Temp/"_s + output::resultPageFileName(number)));
    }

    test::TestContext t;
    RecordingUi ui;
    QList<Hit> hits;
    int blockSize = 97;
};

TEST_F(SearchRunTest, PagesOfTwentyFiveWithTheirCounts)
{
    struct Case
    {
        int entries;
        QStringList counts;  // per page, the words after "Suchbegriff"
        bool nextLinkOnLast;
    };
    const std::vector<Case> cases {
        {0, {u"wurde NICHT gefunden"_s}, false},
        {25, {u"wurde bisher in 25 Dateien"_s}, true},
        {30, {u"wurde bisher in 25 Dateien"_s, u"wurde in 30 Dateien"_s}, false},
        {50, {u"wurde bisher in 25 Dateien"_s, u"wurde bisher in 50 Dateien"_s}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entries);
        t.shell.opened.clear();
        makeDatabase(docs(c.entries == 0 ? 3 : c.entries, c.entries == 0 ? u"nichts"_s : u"ein Haus"_s));
        const SearchOutcome outcome = search(u"Haus"_s);
        EXPECT_EQ(outcome.status, SearchOutcome::Status::Completed);
        EXPECT_EQ(outcome.hitCount, c.entries);
        EXPECT_EQ(outcome.pagesWritten, c.counts.size());
        for (int p = 0; p < c.counts.size(); ++p)
            EXPECT_TRUE(page(p + 1).contains(c.counts[p])) << page(p + 1).toStdString();
        EXPECT_TRUE(page(int(c.counts.size()) + 1).isEmpty());
        EXPECT_EQ(page(int(c.counts.size())).contains(u"Zur nächsten Steite"_s), c.nextLinkOnLast);
        EXPECT_EQ(t.shell.opened, QStringList {t.folder.file(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)});
        EXPECT_EQ(t.context.state.run.noResult, c.entries == 0);
    }
}

TEST_F(SearchRunTest, OneCharacterIsRefused)
{
    makeDatabase(docs(2));
    t.folder.write(u"Datenbank/Temp/alt.htm"_s, "x"_ba);
    const SearchOutcome outcome = search(u" a\t"_s);
    EXPECT_EQ(outcome.status, SearchOutcome::Status::Refused);
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"information"_s);
    EXPECT_EQ(t.dialogs.shown[0].text, u"Nur ein Zeichen als Suchtext ist bei der \"Suche\" nicht erlaubt"_s);
    EXPECT_TRUE(t.folder.exists(u"Datenbank/Temp/alt.htm"_s));
    EXPECT_TRUE(page(1).isEmpty());
    EXPECT_TRUE(ui.controlsEnabled);
    EXPECT_EQ(ui.cancelHint, u"Schließt das Fenster"_s);

    // With all words, a one-character word among them is refused too.
    SearchRequest allWords;
    allWords.allWords = true;
    EXPECT_EQ(search(u"Haus a"_s, allWords).status, SearchOutcome::Status::Refused);
    EXPECT_EQ(t.dialogs.shown.size(), 2);

    // Two characters are searched; the old pages go.
    EXPECT_EQ(search(u"ei"_s).status, SearchOutcome::Status::Completed);
    EXPECT_FALSE(t.folder.exists(u"Datenbank/Temp/alt.htm"_s));
    EXPECT_FALSE(page(1).isEmpty());
}

TEST_F(SearchRunTest, CancelWritesNoPageAndTheNextRunDoes)
{
    makeDatabase(docs(30, u"ein Haus im Garten"_s), docs(5));
    for (const bool allWords : {false, true}) {
        SCOPED_TRACE(allWords ? "all words" : "literal");
        SearchRequest request;
        request.allWords = allWords;
        int pumps = 0;
        ui.log.clear();
        ui.onPump = [&] {
            if (t.context.state.run.cancellable && ++pumps == 10)
                t.context.state.run.cancel.request(); // CancelBtn a few documents into the run
        };
        const SearchOutcome cancelled = search(allWords ? u"Garten Haus"_s : u"Haus"_s, request);
        EXPECT_EQ(cancelled.status, SearchOutcome::Status::Cancelled);
        EXPECT_GT(cancelled.hitCount, 0);
        EXPECT_LT(cancelled.hitCount, 10) << "the scan stops at its next step";
        EXPECT_FALSE(ui.log.contains(u"viewer utf16"_s)) << "the second file is not searched";
        EXPECT_EQ(cancelled.pagesWritten, 0);
        EXPECT_TRUE(page(1).isEmpty());
        EXPECT_TRUE(t.shell.opened.isEmpty());
        EXPECT_FALSE(t.context.state.run.cancel.isRequested());
        EXPECT_FALSE(t.context.state.run.cancellable);
    }
    ui.onPump = nullptr;
    EXPECT_EQ(search(u"Haus"_s).pagesWritten, 2);
}

// Both files, UTF-8 first, are the search command's test.
TEST_F(SearchRunTest, UtfSixteenOnlyAndNoFlagLeftSet)
{
    makeDatabase({}, docs(2, u"ein HAUS"_s));
    t.context.state.catalog.runInProgress = true;
    EXPECT_EQ(search(u"haus"_s).hitCount, 2);
    EXPECT_EQ(ui.log, (QStringList {u"timer on"_s, u"viewer utf16"_s, u"timer off"_s}));
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
    EXPECT_FALSE(t.context.state.view.mirrorSuspended);
    EXPECT_EQ(t.context.state.run.documentMarker, u"#Q:\\"_s);
    EXPECT_EQ(hits.value(0).kind, CollectedKind::Utf16);
}

TEST_F(SearchRunTest, ReplacementCharacterAndClipboard)
{
    makeDatabase(docs(1));
    EXPECT_EQ(search(u"Haus\uFFFD"_s).searchText, u"Haus"_s);
    EXPECT_EQ(search(u"\uFFFDHaus\uFFFD"_s).searchText, u"\uFFFDHaus\uFFFD"_s);

    SearchRequest request;
    request.copyToClipboard = true;
    search(u" rotes Haus "_s, request);
    EXPECT_EQ(t.clipboard.text(), u"rotes"_s);
    request.phrase = true;
    search(u" rotes Haus "_s, request);
    EXPECT_EQ(t.clipboard.text(), u"rotes Haus"_s);
    request.phrase = false;
    t.context.state.view.pathOpened = true;
    search(u"#C:\\a.htm x"_s, request);
    EXPECT_EQ(t.clipboard.text(), u"C:\\a.htm"_s);
}

TEST_F(SearchRunTest, TempFolderGoneOrBlockedDuringTheRun)
{
    makeDatabase(docs(30));
    // Removed while the run goes on: it is made again for the pages.
    bool removed = false;
    ui.onPump = [&] {
        if (!std::exchange(removed, true))
            QDir(t.folder.file(u"Datenbank/Temp"_s)).removeRecursively();
    };
    EXPECT_EQ(search(u"Haus"_s).pagesWritten, 2);
    EXPECT_FALSE(page(1).isEmpty());

    // A file in its place: the run ends with the reason and the window usable again.
    removed = false;
    ui.onPump = [&] {
        if (std::exchange(removed, true))
            return;
        QDir(t.folder.file(u"Datenbank/Temp"_s)).removeRecursively();
        t.folder.write(u"Datenbank/Temp"_s, "kein Ordner"_ba);
    };
    try {
        search(u"Haus"_s);
        FAIL() << "a failed page was reported as written";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(u"Vespira_Ergebnis.htm\" kann nicht geschrieben werden"_s))
            << e.message().toStdString();
    }
    EXPECT_TRUE(ui.controlsEnabled);
    EXPECT_FALSE(t.context.state.run.cancellable);
    EXPECT_EQ(t.folder.read(u"Datenbank/Temp"_s), "kein Ordner"_ba);
    EXPECT_TRUE(t.shell.opened.size() == 1); // only the first run's page went to the browser
    EXPECT_EQ(ui.log.back(), u"timer off"_s);
}

TEST_F(SearchRunTest, AllWordsShowsTheWordThatComesFirst)
{
    makeDatabase(
        {{u"Q:\\a.htm"_s, u"Vorwort\r\nim Garten steht ein Haus\r\nEnde"_s}, {u"Q:\\b.htm"_s, u"nur ein Haus"_s}});
    SearchRequest request;
    request.allWords = true;
    search(u"Haus Garten"_s, request);
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].context, u"im Garten steht ein Haus Ende #Q:\\b.htm"_s);
    EXPECT_EQ(hits[0].marks, (QList<TextSpan> {{3, 6}, {20, 4}}));
    EXPECT_TRUE(page(1).contains(u"im <b>Garten</b> steht ein <b>Haus</b> Ende"_s)) << page(1).toStdString();
    EXPECT_TRUE(page(1).contains(u" Dazu: <u>alle Wörter</u>."_s));

    // Without title positions the blocks are where the document markers stand.
    QFile::remove(t.folder.file(u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s));
    search(u"Haus Garten"_s, request);
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].path, u"Existiert nicht! Q"_s);
    EXPECT_TRUE(hits[0].context.startsWith(u"im Garten"_s));
}

TEST_F(SearchRunTest, AllDatabasesReportsTheEmptyBrokenAndMissingOnesAndSearchesTheOthers)
{
    makeDatabase({{u"Q:\\a.htm"_s, u"ein Haus"_s}, {u"Q:\\b.htm"_s, u"kein"_s}, {u"Q:\\c.htm"_s, u"Haus"_s}});
    makeDatabase({{u"Q:\\x.htm"_s, u"Haus, Haus"_s}}, {}, u"Beta"_s);
    t.folder.write(u"Datenbank/Kaputt.dat"_s, "PFAD_UND_ENDUNGEN=Q:\\\r\n"_ba);
    QDir().mkpath(t.folder.file(u"Datenbank/Kaputt_UTF8Dokument.txt"_s));
    t.folder.write(u"Datenbank/Leer.dat"_s, "PFAD_UND_ENDUNGEN=Q:\\\r\n"_ba);
    t.folder.write(u"Datenbank/Leer_UTF8Dokument.txt"_s, {});
    QDir().mkpath(t.folder.file(u"Datenbank/Verbogen.dat"_s)); // a file list that cannot be read
    t.folder.write(u"Datenbank/Weg.dat"_s, "PFAD_UND_ENDUNGEN=Q:\\\r\n"_ba);

    SearchRequest request;
    request.allDatabases = true;
    request.countHits = true;
    const SearchOutcome outcome = search(u"Haus"_s, request);
    QStringList found;
    for (const Hit &hit : std::as_const(hits))
        found << hit.database + u" "_s + hit.path + u" "_s + QString::number(hit.occurrences);
    EXPECT_EQ(found,
              (QStringList {u"Archiv Existiert nicht! Q:\\a.htm 1"_s, u"Archiv Existiert nicht! Q:\\c.htm 1"_s,
                            u"Beta Existiert nicht! Q:\\x.htm 2"_s}));
    ASSERT_EQ(outcome.problems.size(), 4) << outcome.problems.join(u'\n').toStdString();
    EXPECT_EQ(outcome.problems[0],
              u"Datenbank \"Kaputt\": \""_s + t.folder.file(u"Datenbank/Kaputt_UTF8Dokument.txt"_s)
                  + u"\" ist keine lesbare Datei und wird nicht durchsucht."_s);
    EXPECT_EQ(outcome.problems[1], u"Datenbank \"Leer\": Sie enthält keine Dokumente."_s);
    EXPECT_TRUE(outcome.problems[2].startsWith(u"Datenbank \"Verbogen\": Die Datenbankdatei \""_s));
    EXPECT_EQ(outcome.problems[3], u"Datenbank \"Weg\": Ihre Textdateien fehlen."_s);
    EXPECT_EQ(t.dialogs.log(),
              QStringList {u"warning: Nicht alle Datenbanken konnten ganz durchsucht werden:\n\n"_s
                           + outcome.problems.join(u'\n')});

    const QString p = page(1);
    EXPECT_TRUE(
        p.contains(u"Datenbanken: \"Archiv\", \"Beta\", \"Kaputt\", \"Leer\", \"Verbogen\", \"Weg\"<br>"
                   u"Datenbank &quot;Kaputt&quot;: &quot;"_s))
        << p.toStdString();
    EXPECT_TRUE(p.contains(u" wurde in 3 Dateien gefunden.<br>Insgesamt 4 Fundstellen in 3 Dateien.<br>"_s));
}

// Documents of random words; every search below is checked per document against counting by
// hand, at block sizes that put words across every edge, in both collected files.
class OptionRun : public SearchRunTest, public ::testing::WithParamInterface<int>
{
protected:
    static QString blockText(const FixtureDocument &d) { return u"#"_s + d.path + u"\r\n"_s + d.text + u"\r\n"_s; }

    // Occurrences of any of the forms, each looked for after the end of the one before.
    static qint64 countByHand(const QString &text, const QStringList &forms, bool caseSensitive, bool wholeWords)
    {
        qint64 n = 0;
        const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype i = 0; i < text.size(); ++i) {
            for (const QString &form : forms) {
                if (text.mid(i, form.size()).compare(form, cs) != 0)
                    continue;
                const qsizetype end = i + form.size();
                // The documents hold letters, blanks, commas and line ends; the paths digits too.
                if (wholeWords
                    && ((i > 0 && text.at(i - 1).isLetterOrNumber())
                        || (end < text.size() && text.at(end).isLetterOrNumber())))
                    continue;
                ++n;
                i = end - 1;
                break;
            }
        }
        return n;
    }

    void SetUp() override
    {
        const QStringList vocabulary {u"Haus"_s,    u"haus"_s,         u"HAUS"_s, u"Hausboot"_s, u"Garten"_s,
                                      u"garten"_s,  u"Gartenhaus"_s,   u"Maus"_s, u"und"_s,      u"Straße"_s,
                                      u"STRASSE"_s, u"Strassenbahn"_s, u"der"_s};
        QRandomGenerator random(18);
        for (int kind = 0; kind < 2; ++kind) {
            std::vector<FixtureDocument> &docs = kind == 0 ? utf8 : utf16;
            for (int i = 0; i < 30; ++i) {
                QStringList words;
                const int count = int(random.bounded(12));
                for (int w = 0; w < count; ++w)
                    words << vocabulary.at(random.bounded(vocabulary.size()));
                QString text;
                for (const QString &w : words)
                    text += w + (random.bounded(3) == 0 ? u"\r\n"_s : u", "_s);
                docs.push_back({u"Q:\\d%1\\n%2.htm"_s.arg(kind).arg(i), text});
            }
        }
        makeDatabase(utf8, utf16);
        blockSize = GetParam();
    }

    // Searches and compares the hits with the documents that hold every word, and their counts.
    void expectAsByHand(const QString &text, SearchRequest request, const QList<QStringList> &formsOfWords)
    {
        request.countHits = true;
        const SearchOutcome outcome = search(text, request);
        QStringList expected, actual;
        for (const auto *docs : {&utf8, &utf16}) {
            for (const FixtureDocument &d : *docs) {
                qint64 total = 0;
                bool all = true;
                for (const QStringList &forms : formsOfWords) {
                    const qint64 n = countByHand(blockText(d), forms, request.caseSensitive, request.wholeWords);
                    all = all && n > 0;
                    total += n;
                }
                if (all)
                    expected << d.path + u" "_s + QString::number(total);
            }
        }
        for (const Hit &hit : std::as_const(hits))
            actual << hit.path.mid(QStringLiteral("Existiert nicht! ").size()) + u" "_s
                    + QString::number(hit.occurrences);
        EXPECT_EQ(actual, expected) << text.toStdString();
        EXPECT_GT(expected.size(), 2) << "the documents hold too few matches to tell";
        EXPECT_EQ(outcome.status, SearchOutcome::Status::Completed);
    }

    std::vector<FixtureDocument> utf8, utf16;
};

TEST_P(OptionRun, HitsAndCountsAreThoseCountedByHand)
{
    SearchRequest request;
    expectAsByHand(u"haus"_s, request, {{u"haus"_s}});
    request.allWords = true;
    expectAsByHand(u"haus  garten"_s, request, {{u"haus"_s}, {u"garten"_s}});
    request.wholeWords = true;
    expectAsByHand(u"Garten\thaus"_s, request, {{u"garten"_s}, {u"haus"_s}});
    request.caseSensitive = true;
    expectAsByHand(u"Haus Garten"_s, request, {{u"Haus"_s}, {u"Garten"_s}});
    request = {};
    request.umlauts = true;
    expectAsByHand(u"strasse"_s, request, {{u"strasse"_s, u"straße"_s}});
    request.allWords = true;
    request.wholeWords = true;
    expectAsByHand(u"Straße haus"_s, request, {{u"strasse"_s, u"straße"_s}, {u"haus"_s}});
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, OptionRun, ::testing::Values(1, 7, 97, 65536));

} // namespace
