#include "core/output/resultpage.h"

#include "support/tempdir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::output;

namespace {

QString goldenFolder()
{
    return QStringLiteral(VESPIRA_SOURCE_DIR) + u"/tests/data/golden/"_s;
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
        hooks.pumpEvents = [this] {
            ++pumps;
            if (cancelAtPump == pumps)
                run.cancel = true;
        };
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
        const QString path = goldenFolder() + golden;
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
    const QStringList buffer {u"  /srv/anna/doc/a b.htm##text##Ein Haus am See<br>  "_s};
    EXPECT_TRUE(writer(true, true).SchreibHTMLDocNeu(u"Haus"_s, 1, buffer, run, false));
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"onefile.htm"_s);
}

TEST_F(ResultPageTest, FirstPageWithMorePagesAndHighlights)
{
    run.resultPageNumber = 1;
    run.morePages = true;
    const QStringList buffer {
        u"/srv/anna/Haus/a.htm##text##Das haus und das HAUS<br>"_s,        // last occurrence marked
        u"/srv/anna/Haus/b.htm##text##nichts davon<br>"_s,                  // only in the path
        u"C:\\Texte\\x\"y.htm##text##<b>fett</b> Haus<br>"_s,               // quote in the path
        u"Existiert nicht! C:\\alt.htm##text##altes Haus<br>"_s,
        u"ohne Marke"_s,
        u"/srv/anna/c.htm##text##"_s,                                        // no context
    };
    EXPECT_TRUE(writer().SchreibHTMLDocNeu(u"haus"_s, 25, buffer, run, false));
    expectGolden(u"Vespira_Ergebnis.htm"_s, u"firstpage_more.htm"_s);
}

TEST_F(ResultPageTest, LaterPageOpensNoBrowser)
{
    run.resultPageNumber = 3;
    run.morePages = false;
    const QStringList buffer {u"/d/a.htm##text##Haus <br>"_s, u"/d/b.htm##text##Maus<br>"_s};
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
        writer().SchreibHTMLDocNeu(u"Haus"_s, count, {u"/a.htm##text##Haus<br>"_s}, run, false);
        return QString::fromUtf8(page(resultPageFileName(number)));
    };
    EXPECT_TRUE(countLine(1, false, 2).contains(u" wurde in 1 Datei gefunden.<br>Es wird nur die erste"_s));
    EXPECT_TRUE(countLine(1, true, 2).contains(u" wurde in 1 Datei gefunden."_s));
    EXPECT_TRUE(countLine(100, true, 4).contains(u" wurde bisher in 100 Dateien gefunden.<br>Es wird jeweils"_s));
    EXPECT_TRUE(countLine(100, true, 4).contains(u"<a href=\"file:///opt/vespira/Datenbank/Temp/Vespira_Ergebnis5.htm\""_s));
    EXPECT_TRUE(countLine(1234, false, 4).contains(u" wurde in 1234 Dateien gefunden."_s));
    EXPECT_FALSE(countLine(1234, false, 4).contains(u"Zur nächsten Steite"_s));

    EXPECT_EQ(settingsSentence(true, true).size() / 2, 41);
    EXPECT_EQ(settingsSentence(true, false).size() / 2, 57);
    EXPECT_EQ(settingsSentence(false, true).size() / 2, 34);
    EXPECT_EQ(settingsSentence(false, false).size() / 2, 50);
}

TEST_F(ResultPageTest, CancelAndPathOpenedWriteNothing)
{
    const QStringList buffer {u"/a.htm##text##Haus<br>"_s, u"/b.htm##text##Haus<br>"_s};
    // A cancel during the first two passes: nothing written, no browser, busy left alone.
    run.resultPageNumber = 1;
    cancelAtPump = 3;
    EXPECT_FALSE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, false));
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(busyEnded, 0);
    EXPECT_EQ(run.resultPageNumber, 1);

    // A cancel during the highlight pass still writes the page.
    run.cancel = false;
    pumps = 0;
    cancelAtPump = 5;
    EXPECT_TRUE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, false));
    EXPECT_TRUE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));

    run.cancel = false;
    run.resultPageNumber = 2;
    busyEnded = 0;
    EXPECT_FALSE(writer().SchreibHTMLDocNeu(u"Haus"_s, 2, buffer, run, true));
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis2.htm"_s));
    EXPECT_EQ(busyEnded, 1);
}

TEST(ResultPageLinks, FileLinks)
{
    EXPECT_EQ(fileLink(u"/srv/anna/doc/a b.htm"_s), u"file:///srv/anna/doc/a b.htm"_s);
    EXPECT_EQ(fileLink(u"C:\\Texte\\a b.htm"_s), u"file:///C:/Texte/a b.htm"_s);
    EXPECT_EQ(fileLink(u"/x/\"><script>.htm"_s), u"file:///x/%22><script>.htm"_s);
    EXPECT_EQ(resultPageFileName(1), u"Vespira_Ergebnis.htm"_s);
    EXPECT_EQ(resultPageFileName(12), u"Vespira_Ergebnis12.htm"_s);
}

} // namespace
