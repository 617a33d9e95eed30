#include "core/common/error.h"
#include "core/search/searchrun.h"

#include "core/search/searchfixture.h"
#include "support/guicontext.h"

#include <QDir>

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
    void setRunControlsEnabled(bool enabled) override
    {
        controlsEnabled = enabled;
        log << (enabled ? u"controls on"_s : u"controls off"_s);
    }
    void setCancelHint(const QString &hint) override { cancelHint = hint; }
    void setStatus(const QString &text) override { log << u"Label1 "_s + text; }
    void setBusy(bool busy) override { log << (busy ? u"timer on"_s : u"timer off"_s); }
    void pause(int ms) override { log << u"pause %1"_s.arg(ms); }
    void setCaption(const QString &text) override { log << u"caption "_s + text; }
    void prepareViewer(CollectedKind kind) override { log << (kind == CollectedKind::Utf8 ? u"viewer utf8"_s : u"viewer utf16"_s); }
    void reShowView() override { log << u"reshow"_s; }
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

    void makeDatabase(const std::vector<FixtureDocument> &utf8, const std::vector<FixtureDocument> &utf16 = {})
    {
        test::writeFileList(t.folder, u"Archiv"_s, u"Q"_s, utf8);
        if (!utf8.empty())
            test::writeCollected(t.folder, u"Archiv"_s, utf8, false);
        if (!utf16.empty())
            test::writeCollected(t.folder, u"Archiv"_s, utf16, true);
    }

    SearchOutcome search(const QString &text, SearchRequest request = {})
    {
        request.searchText = text;
        request.databaseName = u"Archiv"_s;
        SearchRun run(t.context, ui);
        run.setBlockSize(97);
        const SearchOutcome outcome = run.run(request);
        hits = run.hits();
        return outcome;
    }

    QString page(int number)
    {
        const QString name = number == 1 ? u"Vespira_Ergebnis.htm"_s : u"Vespira_Ergebnis%1.htm"_s.arg(number);
        return QString::fromUtf8(t.folder.read(u"Datenbank/Temp/"_s + name));
    }

    bool pageExists(int number)
    {
        return t.folder.exists(number == 1 ? u"Datenbank/Temp/Vespira_Ergebnis.htm"_s
                                           : u"Datenbank/Temp/Vespira_Ergebnis%1.htm"_s.arg(number));
    }

    test::TestContext t;
    RecordingUi ui;
    QList<Hit> hits;
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
        {10, {u"wurde in 10 Dateien"_s}, false},
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
        EXPECT_FALSE(pageExists(int(c.counts.size()) + 1));
        EXPECT_EQ(page(int(c.counts.size())).contains(u"Zur nächsten Steite"_s), c.nextLinkOnLast);
        EXPECT_EQ(t.shell.opened, QStringList {t.folder.file(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)});
        EXPECT_EQ(t.context.state.run.noResult, c.entries == 0);
    }
    EXPECT_EQ(t.settings.values.value(u"Browser"_s), u"standard"_s);
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
    EXPECT_FALSE(pageExists(1));
    EXPECT_TRUE(ui.controlsEnabled);
    EXPECT_EQ(ui.cancelHint, u"Schließt das Fenster"_s);

    // Two characters are searched; the old pages go.
    EXPECT_EQ(search(u"ei"_s).status, SearchOutcome::Status::Completed);
    EXPECT_FALSE(t.folder.exists(u"Datenbank/Temp/alt.htm"_s));
    EXPECT_TRUE(pageExists(1));
}

TEST_F(SearchRunTest, CancelWritesNoPageAndTheNextRunDoes)
{
    makeDatabase(docs(30), docs(5));
    int pumps = 0;
    ui.onPump = [&] {
        if (t.context.state.run.cancellable && ++pumps == 10)
            t.context.state.run.cancel.request(); // CancelBtn a few documents into the run
    };
    const SearchOutcome cancelled = search(u"Haus"_s);
    EXPECT_EQ(cancelled.status, SearchOutcome::Status::Cancelled);
    EXPECT_GT(cancelled.hitCount, 0);
    EXPECT_LT(cancelled.hitCount, 10) << "the scan stops at its next step";
    EXPECT_FALSE(ui.log.contains(u"viewer utf16"_s)) << "the second file is not searched";
    EXPECT_EQ(cancelled.pagesWritten, 0);
    EXPECT_FALSE(pageExists(1));
    EXPECT_TRUE(t.shell.opened.isEmpty());
    EXPECT_FALSE(t.context.state.run.cancel.isRequested());
    EXPECT_FALSE(t.context.state.run.cancellable);

    ui.onPump = nullptr;
    EXPECT_EQ(search(u"Haus"_s).pagesWritten, 2);
}

TEST_F(SearchRunTest, UtfSixteenOnlyAndTheOrderOfTheFiles)
{
    makeDatabase({}, docs(2, u"ein HAUS"_s));
    EXPECT_EQ(search(u"haus"_s).hitCount, 2);
    EXPECT_TRUE(ui.log.contains(u"viewer utf16"_s));
    EXPECT_FALSE(ui.log.contains(u"viewer utf8"_s));

    makeDatabase(docs(1, u"UTF-8 Haus"_s), docs(1, u"UTF-16 Haus"_s));
    search(u"Haus"_s);
    ASSERT_EQ(hits.size(), 2);
    EXPECT_TRUE(hits[0].context.contains(u"UTF-8 Haus"_s));
    EXPECT_TRUE(hits[1].context.contains(u"UTF-16 Haus"_s));
    EXPECT_EQ(hits[0].path, u"Existiert nicht! Q:\\d\\doc0.htm"_s);
    EXPECT_EQ(hits[1].kind, CollectedKind::Utf16);
}

TEST_F(SearchRunTest, BusyIndicationAndControlsAroundTheRun)
{
    makeDatabase(docs(1));
    t.context.state.catalog.runInProgress = true;
    search(u"Haus"_s);
    const QStringList expected {u"controls off"_s, u"Label1 Suche läuft..."_s, u"timer on"_s, u"pause 200"_s,
                                u"caption Suche läuft..."_s, u"viewer utf8"_s, u"timer off"_s, u"caption "_s,
                                u"controls on"_s, u"reshow"_s, u"Label1 "_s};
    EXPECT_EQ(ui.log, expected);
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
    EXPECT_FALSE(t.context.state.view.mirrorSuspended);
    EXPECT_EQ(t.context.state.run.documentMarker, u"#Q:\\"_s);
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
    EXPECT_TRUE(pageExists(1));

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
}

TEST_F(SearchRunTest, MissingFileListEndsTheRunCleanly)
{
    try {
        search(u"Haus"_s);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_TRUE(ui.controlsEnabled);
    EXPECT_TRUE(ui.log.contains(u"timer off"_s));
    EXPECT_FALSE(t.context.state.run.cancellable);
    EXPECT_FALSE(pageExists(1));
}

} // namespace
