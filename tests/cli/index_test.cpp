#include "cli/clirun.h"
#include "core/index/indexfiles.h"
#include "core/search/searchfixture.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <signal.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

using test::snapshot;

test::CliResult runIndex(const QStringList &arguments)
{
    return test::runCli(QStringList {u"index"_s} + arguments);
}

test::CliResult runTrigrams(const QStringList &arguments)
{
    return test::runCli(QStringList {u"trigrams"_s} + arguments);
}

const QString Utf8Index = u"Datenbank/Probe_UTF8Trigramme.idx"_s;
const QString MhtIndex = u"Datenbank/Probe_MHTTrigramme.idx"_s;

// Enough documents that a build is still running when the test interrupts it.
void writeManyDocuments(const test::TempProgramFolder &folder)
{
    QByteArray page = "<html><head><title>Seite</title></head><body>";
    for (int i = 0; i < 1500; ++i)
        page += "<p>Ein Absatz mit <b>etwas</b> Text &amp; Entit&auml;ten, Nummer " + QByteArray::number(i) + ".</p>\n";
    page += "</body></html>";
    for (int i = 0; i < 1200; ++i)
        folder.write(u"viele/d%1/seite%2.html"_s.arg(i % 10).arg(i), page);
}

} // namespace

TEST(IndexCommand, BuildsRefusesAnExistingDatabaseAndReplaces)
{
    test::TempProgramFolder folder;
    folder.write(u"docs/a.html"_s, "<title>A</title><p>Hallo</p>");
    folder.write(u"docs/b.htm"_s, QByteArray("\0\1\2\3binär", 10));
    const QStringList args {u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"docs"_s)};
    const test::CliResult first = runIndex(args);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(u"Dokumente:     1"_s));
    EXPECT_TRUE(first.out.contains(u"Übersprungen:  1"_s));
    EXPECT_TRUE(first.err.contains(u"Übersprungen: "_s + folder.file(u"docs/b.htm"_s)));
    EXPECT_TRUE(folder.exists(u"Datenbank/Probe.dat"_s));

    const test::CliResult again = runIndex(args);
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.contains(u"existiert bereits"_s));
    EXPECT_EQ(runIndex(QStringList {u"--replace"_s} + args).exitCode, 0);

    EXPECT_EQ(runIndex({u"-C"_s, folder.path(), u"Probe"_s}).exitCode, 2);
    EXPECT_EQ(runIndex({u"--gibts-nicht"_s, u"X"_s, folder.path()}).exitCode, 2);
}

TEST(IndexCommand, InterruptedOrKilledBuildLeavesTheOldDatabase)
{
    test::TempProgramFolder folder;
    folder.write(u"alt/a.html"_s, "<p>alt</p>");
    ASSERT_EQ(runIndex({u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"alt"_s)}).exitCode, 0);
    const auto before = snapshot(folder.file(u"Datenbank"_s));
    writeManyDocuments(folder);

    for (const int signal : {SIGTERM, SIGINT, SIGKILL}) {
        QProcess process;
        process.start(QStringLiteral(VESPIRA_CLI),
                      {u"index"_s, u"-C"_s, folder.path(), u"--replace"_s, u"Probe"_s, folder.file(u"viele"_s)});
        process.setReadChannel(QProcess::StandardError);
        ASSERT_TRUE(process.waitForStarted());
        // The first progress line comes after the first document is done.
        ASSERT_TRUE(process.waitForReadyRead(30000));
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        if (signal != SIGKILL) {
            EXPECT_EQ(process.exitCode(), 130) << process.readAllStandardError().toStdString();
            EXPECT_EQ(snapshot(folder.file(u"Datenbank"_s)), before);
        }
    }
    // A killed run leaves its temporary files; the next run clears them away.
    folder.write(u"neu/b.html"_s, "<p>neu</p>");
    ASSERT_EQ(runIndex({u"-C"_s, folder.path(), u"--replace"_s, u"Probe"_s, folder.file(u"neu"_s)}).exitCode, 0);
    QStringList left = QDir(folder.file(u"Datenbank"_s)).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, QStringList({u"Probe.dat"_s, u"Probe_Dokumentstand.txt"_s, u"Probe_Quellen.txt"_s,
                                 u"Probe_UTF8Dokument.txt"_s, u"Probe_UTF8Trigramme.idx"_s,
                                 u"Probe_Utf8_TitelPositionen.txt"_s}));
}

TEST(IndexCommand, UpdateOneOrAllDatabasesOfTheFolder)
{
    test::TempProgramFolder folder;
    folder.write(u"docs/a.html"_s, "<p>a</p>");
    folder.write(u"docs/b.html"_s, "<p>b</p>");
    folder.write(u"mehr/c.html"_s, "<p>c</p>");
    ASSERT_EQ(runIndex({u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"docs"_s)}).exitCode, 0);
    ASSERT_EQ(runIndex({u"-C"_s, folder.path(), u"Zweite"_s, folder.file(u"mehr"_s)}).exitCode, 0);
    folder.write(u"Datenbank/Fremd.dat"_s, "PFAD_UND_ENDUNGEN=C:\\Daten\r\n");
    QFile::remove(folder.file(u"docs/b.html"_s));
    folder.write(u"docs/d.html"_s, "<p>d</p>");

    const auto one = runIndex({u"--update"_s, u"-C"_s, folder.path(), u"Probe"_s});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains(u"  Dokumente:     2\n  Übernommen:    1\n  Entfernt:      1\n"_s)) << one.out.toStdString();
    const auto missing = runIndex({u"--update"_s, u"-C"_s, folder.path(), u"Nichts"_s});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, u"vespira index: Die Datenbank \"Nichts\" existiert nicht.\n"_s);

    const auto all = runIndex({u"--update-all"_s, u"-C"_s, folder.path()});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(u"Datenbank \"Probe\""_s));
    EXPECT_TRUE(all.out.contains(u"Datenbank \"Zweite\""_s));
    EXPECT_TRUE(all.err.contains(u"Übersprungen: Zur Datenbank \"Fremd\" sind keine Ordner gespeichert"_s));

    // A folder that is gone fails its database; the others are still brought up to date.
    QDir(folder.file(u"mehr"_s)).removeRecursively();
    folder.write(u"docs/e.html"_s, "<p>e</p>");
    const auto broken = runIndex({u"--update-all"_s, u"-C"_s, folder.path()});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_TRUE(broken.out.contains(u"  Dokumente:     3\n"_s));
    EXPECT_TRUE(broken.err.contains(u"vespira index: Der Ordner"_s));

    EXPECT_EQ(runIndex({u"--update"_s, u"-C"_s, folder.path()}).exitCode, 2);
    EXPECT_EQ(runIndex({u"--update-all"_s, u"Probe"_s}).exitCode, 2);
}

TEST(TrigramsCommand, IndexWritesBothIndexesAndTrigramsWritesThemAlike)
{
    test::TempProgramFolder folder;
    folder.write(u"docs/a.html"_s, "<title>A</title><p>Ein Hausboot am See</p>");
    folder.write(u"docs/c.eml"_s, "From: a@example.org\r\nSubject: Post\r\n\r\nDas Hausboot liegt im Hafen\r\n");
    const test::CliResult built = runIndex({u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"docs"_s)});
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
    const QByteArray utf8 = folder.read(Utf8Index);
    const QByteArray mht = folder.read(MhtIndex);
    ASSERT_FALSE(utf8.isEmpty());
    ASSERT_FALSE(mht.isEmpty());

    QFile::remove(folder.file(Utf8Index));
    QFile::remove(folder.file(MhtIndex));
    const test::CliResult rewritten = runTrigrams({u"-C"_s, folder.path(), u"Probe"_s});
    ASSERT_EQ(rewritten.exitCode, 0) << rewritten.err.toStdString();
    EXPECT_TRUE(rewritten.out.contains(u"Bytes Index:"_s));
    EXPECT_EQ(folder.read(Utf8Index), utf8);
    EXPECT_EQ(folder.read(MhtIndex), mht);
}

TEST(TrigramsCommand, DatabaseOfAnotherProducerStaleIndexesAndErrors)
{
    test::TempProgramFolder folder;
    const std::vector<test::FixtureDocument> docs {{u"D:\\a.htm"_s, u"Käse und Brot"_s}};
    test::writeFileList(folder, u"Probe"_s, u"D"_s, docs);
    test::writeCollected(folder, u"Probe"_s, docs, false);
    folder.write(MhtIndex, "kein Index");

    const test::CliResult done = runTrigrams({u"-C"_s, folder.path(), u"Probe"_s});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_TRUE(done.out.contains(u"Entfernt: "_s));
    EXPECT_FALSE(folder.exists(MhtIndex));
    EXPECT_EQ(index::openIndex(folder.path(), u"Probe"_s, db::TextKind::Utf8).candidates(u"KÄSE"_s).blockCount(), 1);

    const test::CliResult missing = runTrigrams({u"-C"_s, folder.path(), u"Fehlt"_s});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(u"Die Datenbank \"Fehlt\" gibt es in"_s));
    EXPECT_EQ(runTrigrams({}).exitCode, 2);
    EXPECT_EQ(runTrigrams({u"--gibts-nicht"_s, u"Probe"_s}).exitCode, 2);

    QFile::remove(folder.file(u"Datenbank/Probe_UTF8Dokument.txt"_s));
    const test::CliResult noText = runTrigrams({u"-C"_s, folder.path(), u"Probe"_s});
    EXPECT_EQ(noText.exitCode, 2);
    EXPECT_TRUE(noText.err.contains(u"keine Sammeldatei"_s));
}
