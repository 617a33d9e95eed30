// Damaged databases and failing disks, through the command-line tool: every run must end
// with a clear message (or the hits that can still be found), never a crash, and must
// leave the files that were there before as they were.

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
using test::snapshot;

class FaultTest : public ::testing::Test
{
protected:
    FaultTest() { QDir().mkpath(config.path() + u"/Korvane"_s); }

    Result run(const QStringList &arguments, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        return test::runCli(arguments, {config.path(), u"C.UTF-8"_s, fileSizeLimit});
    }

    Result search(const QString &text)
    {
        return run({u"search"_s, u"-C"_s, folder.path(), u"Archiv"_s, text});
    }
    // The hit lines of a search for "Haus" that must end normally.
    QStringList hitLines()
    {
        const Result r = search(u"Haus"_s);
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split(u'\n', Qt::SkipEmptyParts);
    }
    // A lists run that must end normally.
    void buildLists()
    {
        const Result r = run({u"lists"_s, u"-C"_s, folder.path(), u"Archiv"_s});
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    void makeDatabase()
    {
        docs = {
            {u"D:\\eins.htm"_s, u"Ein Haus am See\r\nzweite Zeile"_s},
            {u"D:\\zwei.htm"_s, u"Das Dach vom Haus\r\nÄrger über Öl"_s},
            {u"D:\\drei.htm"_s, u"Haus Nummer drei\r\nletzte Zeile"_s},
        };
        test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
        test::writeCollected(folder, u"Archiv"_s, docs, false);
    }

    QString utf8Text() const { return u"Datenbank/Archiv_UTF8Dokument.txt"_s; }
    QString utf8Titles() const { return u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s; }

    QTemporaryDir config;
    test::TempProgramFolder folder;
    std::vector<FixtureDocument> docs;
};

TEST_F(FaultTest, MissingOrTruncatedCollectedFile)
{
    makeDatabase();
    const QByteArray whole = folder.read(utf8Text());

    // Cut inside "Ä" of the second document: its title line still points into the file,
    // the third one points beyond its end.
    const qsizetype cut = whole.indexOf("\xC3\x84") + 1;
    folder.write(utf8Text(), whole.left(cut));
    const QStringList lines = hitLines();
    ASSERT_EQ(lines.size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].contains(u"Ein Haus am See"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(u"D:\\zwei.htm"_s)) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(u"Das Dach vom Haus"_s)) << lines[1].toStdString();

    // Gone altogether: the search says so and names the file.
    QFile::remove(folder.file(utf8Text()));
    const Result r = search(u"Haus"_s);
    EXPECT_FALSE(r.crashed);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_FALSE(r.err.isEmpty());
}

TEST_F(FaultTest, GarbageInTheTitlePositionsCostsOnlyThePathsItBroke)
{
    makeDatabase();
    const QByteArray titles = folder.read(utf8Titles());
    const QList<QByteArray> good = titles.split('\n');
    // The first line survives, then garbage: no number, a number too long, binary bytes,
    // an invalid UTF-8 path, a line without an end.
    folder.write(utf8Titles(), good[0] + "\nx17 #D:\\falsch.htm\r\n99999999999999999999999 #D:\\riesig.htm\r\n"
                                          "\0\1\2\xFF\xFE\r\n5 #\xC3\r\n12345678");
    const QStringList lines = hitLines();
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].contains(u"Ein Haus am See"_s));
    for (const QString &line : lines) {
        EXPECT_FALSE(line.contains(u"falsch"_s)) << line.toStdString();
        EXPECT_FALSE(line.contains(u"riesig"_s)) << line.toStdString();
    }
}

TEST_F(FaultTest, InvalidUtf8AndAHundredMegabyteLine)
{
    docs = {
        {u"D:\\kaputt.htm"_s, u"vorher"_s},
        {u"D:\\lang.htm"_s, u"kurz"_s},
    };
    test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
    // Invalid sequences around a hit, then one line of a hundred million bytes with a hit near
    // its end.
    QByteArray collected = "#D:\\kaputt.htm\r\n\xC3\x28 Haus \xED\xA0\x80 \xF8\x88\x80\x80\x80 \xFF\r\n";
    const qint64 second = collected.size();
    collected += "#D:\\lang.htm\r\n";
    QByteArray line(100'000'000, 'a');
    for (qsizetype i = 0; i < line.size(); i += 100)
        line[i] = ' ';
    line.replace(line.size() - 1000, 11, " Haus ende ");
    collected += line + "\r\n";
    folder.write(utf8Text(), collected);
    folder.write(utf8Titles(), "0 #D:\\kaputt.htm\r\n" + QByteArray::number(second) + " #D:\\lang.htm\r\n");

    const QStringList lines = hitLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(u"D:\\kaputt.htm"_s));
    EXPECT_TRUE(lines[0].contains(u"Haus"_s));
    EXPECT_TRUE(lines[1].contains(u"D:\\lang.htm"_s));
    EXPECT_TRUE(lines[1].contains(u"Haus ende"_s));
    EXPECT_LT(lines[1].size(), 10000); // a context, not the whole line

    // The list build reads the same file: it finishes and the long line's words are in.
    buildLists();
    const QString list = QString::fromUtf8(folder.read(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s));
    EXPECT_TRUE(list.contains(u"\r\nHaus\r\n"_s)) << list.left(500).toStdString();
    EXPECT_TRUE(list.contains(u"ende\r\n"_s));
}

TEST_F(FaultTest, UnpairedSurrogatesInTheUtf16Text)
{
    docs = {{u"D:\\brief.eml"_s, u"x"_s}};
    test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
    const auto utf16 = [](const QString &s) {
        return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
    };
    // A high surrogate with no low one after it, and a low one with no high one before it.
    const QByteArray text = utf16(u"#D:\\brief.eml\r\nvorn "_s) + QByteArray("\x00\xD8", 2) + utf16(u" Haus "_s)
        + QByteArray("\x00\xDC", 2) + utf16(u" hinten\r\n"_s);
    folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, text);
    folder.write(u"Datenbank/Archiv_MHT_TitelPositionen.txt"_s, "0 #D:\\brief.eml\r\n");

    const QStringList lines = hitLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(u" Haus "_s)) << lines[0].toStdString();

    buildLists();
    const QByteArray list = folder.read(u"Datenbank/Archiv_Phrasen_Woerter_MHTListe.txt"_s);
    EXPECT_EQ(list, utf16(u"\uFEFFHaus\r\nhinten\r\nvorn\r\n"_s)) << list.toHex().constData();
}

TEST_F(FaultTest, FoldersInPlaceOfDatabaseFiles)
{
    for (const QString &file : {u"Datenbank/Archiv.dat"_s, utf8Titles(), utf8Text()}) {
        SCOPED_TRACE(file.toStdString());
        QDir(folder.file(u"Datenbank"_s)).removeRecursively();
        makeDatabase();
        QFile::remove(folder.file(file));
        ASSERT_TRUE(QDir().mkpath(folder.file(file)));

        Result r = search(u"Haus"_s);
        EXPECT_FALSE(r.crashed);
        if (file == utf8Titles()) {
            // The text is all there; only the document paths are missing.
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(r.out.count(u'\n'), 3) << r.out.toStdString();
        } else if (file == utf8Text()) {
            // Said as an error, not passed off as "nothing found".
            EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(u"Archiv_UTF8Dokument.txt\" ist keine lesbare Datei und wird nicht durchsucht."_s))
                << r.err.toStdString();
        } else {
            EXPECT_EQ(r.exitCode, 2) << r.out.toStdString();
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(r.err.contains(u"Archiv"_s)) << r.err.toStdString();
        }
        r = run({u"lists"_s, u"-C"_s, folder.path(), u"Archiv"_s});
        EXPECT_FALSE(r.crashed);
        EXPECT_TRUE(QFileInfo(folder.file(file)).isDir());
    }
}

TEST_F(FaultTest, FullDiskWhileIndexingKeepsTheOldDatabase)
{
    folder.write(u"alt/a.html"_s, "<title>Alt</title><p>alter Text</p>");
    ASSERT_EQ(run({u"index"_s, u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"alt"_s)}).exitCode, 0);
    const auto before = snapshot(folder.file(u"Datenbank"_s));

    for (int i = 0; i < 40; ++i)
        folder.write(u"neu/d%1.html"_s.arg(i), "<title>Neu</title><p>" + QByteArray(1000, 'x') + "</p>");
    for (rlim_t limit : {rlim_t {16 * 1024}, rlim_t {100}}) { // large writes and small ones
        SCOPED_TRACE(limit);
        const Result r = run({u"index"_s, u"-C"_s, folder.path(), u"--replace"_s, u"Probe"_s, folder.file(u"neu"_s)},
                             limit);
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 2) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(u"kann nicht geschrieben werden"_s)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u"Probe_UTF8Dokument.txt\" kann nicht geschrieben werden: nur "_s))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u"der Datenträger ist voll"_s)) << r.err.toStdString();
        EXPECT_EQ(snapshot(folder.file(u"Datenbank"_s)), before); // no half file, no stray temporary
    }
}

TEST_F(FaultTest, FullDiskWhileResultPagesOrListsAreWritten)
{
    docs.clear();
    for (int i = 0; i < 40; ++i)
        docs.push_back({u"D:\\dokument%1.htm"_s.arg(i), u"Ein Haus mit vielen Wörtern Nummer %1"_s.arg(i)});
    test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
    test::writeCollected(folder, u"Archiv"_s, docs, false);

    Result r = run({u"search"_s, u"-C"_s, folder.path(), u"Archiv"_s, u"Haus"_s}, 2048);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"Vespira_Ergebnis.htm\" kann nicht geschrieben werden"_s)) << r.err.toStdString();
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)); // no half page

    ASSERT_EQ(run({u"lists"_s, u"-C"_s, folder.path(), u"Archiv"_s}).exitCode, 0);
    const auto before = snapshot(folder.file(u"Datenbank"_s));
    // The pieces cut from the collected text no longer fit: no list from a part of the text.
    r = run({u"lists"_s, u"-C"_s, folder.path(), u"--mode"_s, u"phrases"_s, u"Archiv"_s}, 512);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"SplitDokument001.txt\" kann nicht geschrieben werden: nur 512 von "_s))
        << r.err.toStdString();
    EXPECT_EQ(snapshot(folder.file(u"Datenbank"_s)), before);
}

TEST_F(FaultTest, SparseFiveGigabyteCollectedFileIsSearchedToTheEnd)
{
    constexpr qint64 size = 5LL * 1024 * 1024 * 1024;
    docs = {{u"D:\\anfang.htm"_s, u"x"_s}, {u"D:\\ende.htm"_s, u"x"_s}};
    test::writeFileList(folder, u"Archiv"_s, u"D"_s, docs);
    const QByteArray head = "#D:\\anfang.htm\r\nein Haus vorn\r\n";
    const QByteArray tail = "\r\n#D:\\ende.htm\r\nein Haus hinten\r\n";
    {
        QFile f(folder.file(utf8Text()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        if (!f.seek(size - tail.size()) || f.write(tail) != tail.size())
            GTEST_SKIP() << "no room for a sparse file of 5 GB here";
    }
    folder.write(utf8Titles(), "0 #D:\\anfang.htm\r\n" + QByteArray::number(size - tail.size() + 2)
                                   + " #D:\\ende.htm\r\n");

    const QStringList lines = hitLines();
    ASSERT_EQ(lines.size(), 2);
    // The documents are not on this disk, hence "Existiert nicht! " before their paths.
    EXPECT_TRUE(lines[0].contains(u"D:\\anfang.htm\tein Haus vorn"_s)) << lines[0].left(200).toStdString();
    EXPECT_TRUE(lines[1].contains(u"D:\\ende.htm\tein Haus hinten"_s)) << lines[1].toStdString();
}

TEST_F(FaultTest, CorruptSettingsFileIsReadAroundAndKept)
{
    makeDatabase();
    folder.write(u"docs/eins.htm"_s, "<p>da</p>");
    const QByteArray corrupt = "[General\n\xFF\xFE\0\1garbage=\"unclosed\n=\n[Gen\xC3\x28ral]\nLaufwerk_D="
                               + folder.file(u"docs"_s).toUtf8() + "\n" + QByteArray(100000, 'z') + "\n";
    const QString conf = config.path() + u"/Korvane/Vespira-HTML-LIGHT.conf"_s;
    {
        QFile f(conf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(corrupt);
    }
    EXPECT_EQ(hitLines().size(), 3);
    QFile f(conf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), corrupt); // a search does not rewrite what it cannot read
}

} // namespace
