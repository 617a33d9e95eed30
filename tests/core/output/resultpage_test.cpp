#include "core/output/resultpage.h"

#include "support/tempdir.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::output;

namespace {

Hit hit(const QString &path, const QString &context, const QString &database = {}, qint64 occurrences = 0,
        QList<TextSpan> marks = {})
{
    Hit h;
    h.path = path;
    h.context = context;
    h.database = database;
    h.occurrences = occurrences;
    h.marks = std::move(marks);
    return h;
}

class ResultPageTest : public ::testing::Test
{
protected:
    ResultPageWriter writer(bool caseSensitive = false, bool wholeWords = false)
    {
        ResultPageSettings settings;
        settings.programFolder = folder.path();
        settings.databaseName = u"Archiv"_s;
        settings.caseSensitive = caseSensitive;
        settings.wholeWords = wholeWords;
        ResultPageHooks hooks;
        hooks.progress = Progress([this](qint64, qint64) {
            ++pumps;
            if (cancelAtPump == pumps)
                run.cancel.request();
        }, &run.cancel);
        hooks.endBusyIndication = [this] { ++busyEnded; };
        hooks.openInBrowser = [this](const QString &path) { opened << path; };
        return ResultPageWriter(settings, hooks);
    }

    // The page as written, with the temporary program folder replaced by a fixed one.
    QByteArray page(const QString &name) const
    {
        QByteArray bytes = folder.read(u"Datenbank/Temp/"_s + name);
        return bytes.replace(folder.path().mid(1).toUtf8(), "opt/vespira/");
    }

    void expectGolden(const QString &written, const QString &golden) const
    {
        const QByteArray actual = page(written);
        // From the build, not from __FILE__: a compiler launcher may hand the compiler relative paths.
        const QString path = QStringLiteral(VESPIRA_GOLDEN_DIR "/") + golden;
        if (qEnvironmentVariableIsSet("VESPIRA_UPDATE_GOLDEN")) {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(actual);
            return;
        }
        QFile in(path);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(actual, in.readAll()) << golden.toStdString();
    }

    test::TempProgramFolder folder;
    app::SearchRunState run;
    QStringList opened;
    int pumps = 0;
    int cancelAtPump = -1;
    int busyEnded = 0;
};

TEST_F(ResultPageTest, NotFoundPage)
{
    run.resultPageNumber = 1;
    EXPECT_TRUE(writer().SchreibHTMLDocNeu(u"Haus"_s, 0, {}, run, false));
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"notfound.htm"_s);
    EXPECT_EQ(opened, QStringList {folder.file(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)});
    EXPECT_EQ(run.resultPageNumber, 0);
    EXPECT_EQ(busyEnded, 1);
}

TEST_F(ResultPageTest, OneFilePage)
{
    run.resultPageNumber = 1;
    const QList<Hit> buffer {hit(u"  /srv/anna/doc/a b.htm"_s, u"Ein Haus am See"_s)};
    EXPECT_TRUE(writer(true, true).SchreibHTMLDocNeu(u"Haus"_s, 1, buffer, run, false));
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"onefile.htm"_s);
}

TEST_F(ResultPageTest, FirstPageWithMorePagesAndHighlights)
{
    run.resultPageNumber = 1;
    run.morePages = true;
    const QList<Hit> buffer {
        hit(u"/srv/anna/Haus/a.htm"_s, u"Das haus und das HAUS"_s),        // last occurrence marked
        hit(u"/srv/anna/Haus/b.htm"_s, u"nichts davon"_s),                 // only in the path
        hit(u"C:\\Texte\\x\"y.htm"_s, u"<b>fett</b> Haus"_s),               // quote in the path
        hit(u"Existiert nicht! C:\\alt.htm"_s, u"altes Haus"_s),
        hit(u"/srv/anna/c##text##d.htm"_s, QString()),                     // no context
    };
    EXPECT_TRUE(writer().SchreibHTMLDocNeu(u"haus"_s, 25, buffer, run, false));
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"firstpage_more.htm"_s);
}

TEST_F(ResultPageTest, LaterPageOpensNoBrowser)
{
    run.resultPageNumber = 3;
    run.morePages = false;
    const QList<Hit> buffer {hit(u"/d/a.htm"_s, u"Haus "_s), hit(u"/d/b.htm"_s, u"Maus"_s)};
    // An untrimmed search text: "</b>" goes by the typed length.
    EXPECT_TRUE(writer(false, true).SchreibHTMLDocNeu(u" Haus"_s, 52, buffer, run, false));
    expectGolden(u"Vespira_Ergebnis3.htm"_s, u"page3_last.htm"_s);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(run.resultPageNumber, 3);
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
}

TEST_F(ResultPageTest, CountLineVariantsAndNextLinks)
{
    auto countLine = [this](qint64 count, bool more, int number) {
        run.resultPageNumber = number;
        run.morePages = more;
        writer().SchreibHTMLDocNeu(u"Haus"_s, count, {hit(u"/a.htm"_s, u"Haus"_s)}, run, false);
        return QString::fromUtf8(page(resultPageFileName(number)));
    };
    // The golden pages show the other lines.
    EXPECT_TRUE(countLine(1, true, 2).contains(u" wurde in 1 Datei gefunden."_s));
    EXPECT_TRUE(countLine(100, true, 4).contains(u"<a href=\"file:///opt/vespira/Datenbank/Temp/Vespira_Ergebnis5.htm\""_s));
    EXPECT_TRUE(countLine(1234, false, 4).contains(u" wurde in 1234 Dateien gefunden."_s));

    // The one setting no golden page shows.
    EXPECT_EQ(settingsSentence(true, false), u"Sucheinstellung: Gross/Kleinschreibung <u>beachten</u> und Suchtext "
                                             u"<u>auch als Teil</u> in einem Wort/Satz finden."_s);
}

TEST_F(ResultPageTest, CancelAndPathOpenedWriteNothing)
{
    const QList<Hit> buffer {hit(u"/a.htm"_s, u"Haus"_s), hit(u"/b.htm"_s, u"Haus"_s)};
    // A cancel while the lines are made: nothing written, no browser, busy left alone.
    run.resultPageNumber = 1;
    cancelAtPump = 2;
    EXPECT_FALSE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, false));
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(busyEnded, 0);
    EXPECT_EQ(run.resultPageNumber, 1);

    // A cancel while the lines are marked still writes the page.
    run.cancel.clear();
    pumps = 0;
    cancelAtPump = 3;
    EXPECT_TRUE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, false));
    EXPECT_TRUE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));

    run.cancel.clear();
    run.resultPageNumber = 2;
    busyEnded = 0;
    EXPECT_FALSE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, true));
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis2.htm"_s));
    EXPECT_EQ(busyEnded, 1);
}

// The hit lines of the page as written, after the head and the rule.
QStringList hitLines(const QByteArray &page)
{
    QStringList lines = QString::fromUtf8(page).split(u"\r\n"_s);
    const qsizetype rule = lines.indexOf(QRegularExpression(u"^_+<br><br>$"_s));
    return lines.mid(rule + 1, lines.size() - rule - 5);
}

TEST_F(ResultPageTest, MarkupFromDocumentsPathsAndTheSearchFieldIsShownAsText)
{
    run.resultPageNumber = 2;
    const QList<Hit> buffer {
        hit(u"/srv/a.htm"_s, u"Lernen: <meta http-equiv=\"refresh\" content=\"0;url=https://example.org/\"> & mehr"_s),
        hit(u"/srv/b.htm"_s, u"<!-- <plaintext> <textarea> refresh"_s),
        hit(QString(), u"<i>ohne Pfad</i> refresh"_s),
    };
    ASSERT_TRUE(writer().SchreibHTMLDocNeu(u"refresh"_s, 3, buffer, run, false));
    EXPECT_EQ(hitLines(page(u"Vespira_Ergebnis2.htm"_s)),
              (QStringList {
                  u"<font color=\"#000000\">in: <a href=\"file:///srv/a.htm\" target=\"_blank\">file:///srv/a.htm</a><br>"
                  u"<font color=\"#000080\">Lernen: &lt;meta http-equiv=&quot;<b>refresh</b>&quot; "
                  u"content=&quot;0;url=https://example.org/&quot;&gt; &amp; mehr<br><br><br>"_s,
                  u"<font color=\"#000000\">in: <a href=\"file:///srv/b.htm\" target=\"_blank\">file:///srv/b.htm</a><br>"
                  u"<font color=\"#000080\">&lt;!-- &lt;plaintext&gt; &lt;textarea&gt; <b>refresh</b><br><br><br>"_s,
                  u"##text##&lt;i&gt;ohne Pfad&lt;/i&gt; <b>refresh</b><br>"_s,
              }));

    // The search text and the database name, and a highlight of text that holds "&" and "<".
    ResultPageSettings settings;
    settings.programFolder = folder.path();
    settings.databaseName = u"<Archiv & Co>"_s;
    run.resultPageNumber = 3;
    ASSERT_TRUE(ResultPageWriter(settings, {}).SchreibHTMLDocNeu(
        u"Salz & <Pfeffer>"_s, 1, {hit(u"/srv/c.htm"_s, u"Salz & <Pfeffer> und Salz & <pfeffer>!"_s)}, run, false));
    const QString third = QString::fromUtf8(page(u"Vespira_Ergebnis3.htm"_s));
    EXPECT_TRUE(third.contains(u"Datenbankname: \"&lt;Archiv &amp; Co&gt;\"<br>"_s)) << third.toStdString();
    EXPECT_TRUE(third.contains(u"<u>Salz &amp; &lt;Pfeffer&gt;\"</u>"_s)) << third.toStdString();
    EXPECT_TRUE(third.contains(u"Salz &amp; &lt;Pfeffer&gt; und <b>Salz &amp; &lt;pfeffer&gt;</b>!<br><br><br>"_s))
        << third.toStdString();
}

TEST_F(ResultPageTest, HighlightMarksTheDocumentTextNotEntitiesOrTheWritersMarkup)
{
    run.resultPageNumber = 2;
    const QList<Hit> buffer {hit(u"/srv/a.htm"_s, u"Gehalt <= 5"_s), hit(u"/srv/b.htm"_s, u"kein Treffer "_s)};
    ASSERT_TRUE(writer().SchreibHTMLDocNeu(u"lt"_s, 2, buffer, run, false));
    const QStringList lines = hitLines(page(u"Vespira_Ergebnis2.htm"_s));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u"Geha<b>lt</b> &lt;= 5<br><br><br>"_s)) << lines[0].toStdString();

    run.resultPageNumber = 3;
    ASSERT_TRUE(writer().SchreibHTMLDocNeu(u"br"_s, 2, buffer, run, false));
    const QStringList third = hitLines(page(u"Vespira_Ergebnis3.htm"_s));
    ASSERT_EQ(third.size(), 2);
    EXPECT_TRUE(third[1].endsWith(u"kein Treffer <br><br><br>"_s)) << third[1].toStdString();
}

TEST_F(ResultPageTest, OptionsPageGroupsByDatabaseCountsAndMarksTheWords)
{
    ResultPageSettings settings;
    settings.programFolder = folder.path();
    settings.wholeWords = true;
    settings.allWords = true;
    settings.umlauts = true;
    settings.countHits = true;
    settings.allDatabases = true;
    settings.databaseNames = {u"Archiv"_s, u"Leer"_s, u"Post <2>"_s};
    settings.problems = {u"Datenbank \"Leer\": Sie enthält keine Dokumente."_s};
    settings.totalHits = 30;
    settings.totalOccurrences = 41;
    const QList<Hit> buffer {
        hit(u"/srv/a.htm"_s, u"Herr Müller <im> Garten"_s, u"Archiv"_s, 1, {{5, 6}, {17, 6}}),
        hit(u"/srv/b.htm"_s, u"MUELLER, Gartenhaus"_s, u"Archiv"_s, 7, {{0, 7}}),
        hit(u"/srv/c.eml"_s, u"ohne Marke"_s, u"Post <2>"_s, 2),
    };
    run.resultPageNumber = 1;
    run.morePages = true;
    ResultPageWriter(settings, {}).SchreibHTMLDocNeu(u"Müller Garten"_s, 25, buffer, run, false);
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"options_more.htm"_s);
}

TEST(ResultPageLinks, FileLinks)
{
    EXPECT_EQ(fileLink(u"/srv/anna/doc/a b.htm"_s), u"file:///srv/anna/doc/a b.htm"_s);
    EXPECT_EQ(fileLink(u"C:\\Texte\\a b.htm"_s), u"file:///C:/Texte/a b.htm"_s);
    EXPECT_EQ(fileLink(u"/x/\"><script>.htm"_s), u"file:///x/%22%3E%3Cscript%3E.htm"_s);
    EXPECT_EQ(fileLink(u"/x/Kapitel #3 (50%)?.html"_s), u"file:///x/Kapitel %233 (50%25)%3F.html"_s);
    EXPECT_EQ(QUrl(fileLink(u"/x/Kapitel #3 (50%)?.html"_s)).toLocalFile(), u"/x/Kapitel #3 (50%)?.html"_s); // opens
    EXPECT_EQ(fileLink(u"/x/a&b ä+~.htm"_s), u"file:///x/a%26b ä+~.htm"_s);
    EXPECT_EQ(resultPageFileName(1), u"Vespira_Ergebnis.htm"_s);
    EXPECT_EQ(resultPageFileName(12), u"Vespira_Ergebnis12.htm"_s);
}

} // namespace
