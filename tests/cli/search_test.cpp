#include "cli/clirun.h"
#include "core/search/searchfixture.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using vespira::test::FixtureDocument;

namespace {

using Result = test::CliResult;

class SearchCommandTest : public ::testing::Test
{
protected:
    SearchCommandTest()
    {
        // The program's own settings store, in a folder of the test's.
        QDir().mkpath(config.path() + u"/Korvane"_s);
        folder.write(u"docs/Haus am See.htm"_s, "<html>"_ba);
    }

    void writeSettings(const QByteArray &lines)
    {
        QFile f(config.path() + u"/Korvane/Vespira-HTML-LIGHT.conf"_s);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\n" + lines);
    }

    Result run(const QStringList &arguments)
    {
        return test::runCli(QStringList {u"search"_s} + arguments, {config.path()});
    }

    void makeDatabase()
    {
        const std::vector<FixtureDocument> docs {
            {u"D:\\Haus am See.htm"_s, u"Ein <b>Haus</b> am See\r\nzweite Zeile"_s},
            {u"D:\\fehlt.htm"_s, u"Kein Ärger hier"_s},
            {u"D:\\fehlt2.htm"_s, u"ohne Treffer"_s},
        };
        test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
        test::writeCollected(folder, u"Archiv"_s, docs, false);
        test::writeCollected(folder, u"Archiv"_s, {{u"D:\\mail.eml"_s, u"HAUS im Mail"_s}}, true);
    }

    QByteArray page(const QString &name) const
    {
        QByteArray bytes = folder.read(u"Datenbank/Temp/"_s + name);
        return bytes.replace(folder.path().mid(1).toUtf8(), "opt/vespira/");
    }

    QTemporaryDir config;
    test::TempProgramFolder folder;
};

TEST_F(SearchCommandTest, PrintsHitsWritesThePagesAndExitsZero)
{
    makeDatabase();
    writeSettings("Laufwerk_D=" + folder.file(u"docs"_s).toUtf8() + "\n");
    folder.write(u"Datenbank/Temp/alt.htm"_s, "x"_ba);
    const Result r = run({u"-C"_s, folder.path(), u"Archiv"_s, u"haus"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    // The first "haus" stands in the marker line itself; the context reaches on from there.
    EXPECT_EQ(lines[0], folder.file(u"docs/Haus am See.htm"_s)
                            + u"\t#D:\\Haus am See.htm Ein <b>Haus</b> am See zweite Zeile"_s);
    EXPECT_EQ(lines[1], u"Existiert nicht! D:\\mail.eml\tHAUS im Mail  "_s);
    EXPECT_TRUE(r.err.contains(u"2 Treffer"_s)) << r.err.toStdString();
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/alt.htm"_s));

    QFile golden(QStringLiteral(VESPIRA_SOURCE_DIR) + u"/tests/data/golden/cli_search.htm"_s);
    if (qEnvironmentVariableIsSet("VESPIRA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(page(u"Vespira_Ergebnis.htm"_s));
    } else {
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
        EXPECT_EQ(page(u"Vespira_Ergebnis.htm"_s), golden.readAll());
    }
}

TEST_F(SearchCommandTest, OptionsNothingFoundAndErrors)
{
    makeDatabase();
    Result r = run({u"-C"_s, folder.path(), u"--case"_s, u"Archiv"_s, u"HAUS im"_s});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.count(u'\n'), 1);

    r = run({u"-C"_s, folder.path(), u"--whole-words"_s, u"Archiv"_s, u"Hau"_s});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(folder.read(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)).contains(u"wurde NICHT gefunden"_s));

    r = run({u"-C"_s, folder.path(), u"Archiv"_s, u" x "_s});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"Nur ein Zeichen als Suchtext ist bei der \"Suche\" nicht erlaubt"_s));

    r = run({u"-C"_s, folder.path(), u"Fehlt"_s, u"Haus"_s});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"Fehlt"_s));

    EXPECT_EQ(run({u"--bogus"_s, u"Archiv"_s, u"Haus"_s}).exitCode, 2);
    EXPECT_EQ(run({u"-C"_s, folder.path(), u"Archiv"_s}).exitCode, 2);
}

TEST_F(SearchCommandTest, OptionsOverEveryDatabase)
{
    makeDatabase();
    const std::vector<FixtureDocument> second {{u"D:\\strasse.htm"_s, u"Haus an der Straße, Häuser"_s}};
    test::writeFileList(folder, u"Zweite"_s, u"D"_s, second);
    test::writeCollected(folder, u"Zweite"_s, second, false);

    Result r = run({u"-C"_s, folder.path(), u"--all-databases"_s, u"--count"_s, u"--whole-words"_s, u"haus"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"Archiv\tExistiert nicht! D:\\Haus am See.htm\t2\t"
                     u"#D:\\Haus am See.htm Ein <b>Haus</b> am See zweite Zeile\n"
                     u"Archiv\tExistiert nicht! D:\\mail.eml\t1\tHAUS im Mail  \n"
                     u"Zweite\tExistiert nicht! D:\\strasse.htm\t1\tHaus an der Straße, Häuser  \n"_s);
    EXPECT_TRUE(r.err.contains(u"3 Treffer, 4 Fundstellen"_s)) << r.err.toStdString();

    r = run({u"-C"_s, folder.path(), u"--all-words"_s, u"--umlauts"_s, u"Zweite"_s, u"STRASSE haeuser"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The first of the words stands in the document's marker line, as a literal search sees it.
    EXPECT_EQ(r.out, u"Existiert nicht! D:\\strasse.htm\t#D:\\strasse.htm Haus an der Straße, Häuser \n"_s);

    r = run({u"-C"_s, folder.path(), u"--all-databases"_s, u"Archiv"_s, u"Haus"_s});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"Mit --all-databases wird nur TEXT erwartet."_s)) << r.err.toStdString();
}

TEST_F(SearchCommandTest, TheIndexChangesNoHitAndAnOutdatedOneIsSaidOnce)
{
    makeDatabase();
    const QStringList haus {u"-C"_s, folder.path(), u"Archiv"_s, u"haus"_s};
    const Result scan = run(QStringList {u"--scan"_s} + haus);
    EXPECT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QString said = u"vespira search: Index veraltet, es wird ohne Index gesucht\n"_s;

    // Missing, then current.
    EXPECT_EQ(run(haus).out, scan.out);
    EXPECT_FALSE(run(haus).err.contains(said));
    ASSERT_EQ(test::runCli({u"trigrams"_s, u"-C"_s, folder.path(), u"Archiv"_s}, {config.path()}).exitCode, 0);
    Result r = run(haus);
    EXPECT_EQ(r.out, scan.out);
    EXPECT_FALSE(r.err.contains(said)) << r.err.toStdString();

    // Both collected files changed since: said once, and the scan finds the new text.
    folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s,
                 folder.read(u"Datenbank/Archiv_UTF8Dokument.txt"_s).replace("ohne Treffer", "mit Haus!!"));
    folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, folder.read(u"Datenbank/Archiv_MHTtext.txt"_s) + "\0"_ba);
    r = run(haus);
    EXPECT_EQ(r.out.count(u'\n'), 3) << r.out.toStdString();
    EXPECT_EQ(r.err.count(said), 1) << r.err.toStdString();
    EXPECT_EQ(r.out, run(QStringList {u"--scan"_s} + haus).out);
    EXPECT_FALSE(run(QStringList {u"--scan"_s} + haus).err.contains(said));

    EXPECT_TRUE(run({u"--help"_s}).out.contains(u"[--scan]"_s));
}

} // namespace
