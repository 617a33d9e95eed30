#include "cli/clirun.h"
#include "core/index/indexfiles.h"
#include "core/search/searchfixture.h"
#include "support/tempdir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

test::CliResult cli(const QString &command, const QStringList &arguments)
{
    return test::runCli(QStringList {command} + arguments);
}

const QString Utf8Index = u"Datenbank/Probe_UTF8Trigramme.idx"_s;
const QString MhtIndex = u"Datenbank/Probe_MHTTrigramme.idx"_s;

} // namespace

TEST(TrigramsCommand, IndexWritesBothIndexesAndTrigramsWritesThemAlike)
{
    test::TempProgramFolder folder;
    folder.write(u"docs/a.html"_s, "<title>A</title><p>Ein Hausboot am See</p>");
    folder.write(u"docs/c.eml"_s, "From: a@example.org\r\nSubject: Post\r\n\r\nDas Hausboot liegt im Hafen\r\n");
    const test::CliResult built = cli(u"index"_s, {u"-C"_s, folder.path(), u"Probe"_s, folder.file(u"docs"_s)});
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
    const QByteArray utf8 = folder.read(Utf8Index);
    const QByteArray mht = folder.read(MhtIndex);
    ASSERT_FALSE(utf8.isEmpty());
    ASSERT_FALSE(mht.isEmpty());

    QFile::remove(folder.file(Utf8Index));
    QFile::remove(folder.file(MhtIndex));
    const test::CliResult rewritten = cli(u"trigrams"_s, {u"-C"_s, folder.path(), u"Probe"_s});
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

    const test::CliResult done = cli(u"trigrams"_s, {u"-C"_s, folder.path(), u"Probe"_s});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_TRUE(done.out.contains(u"Entfernt: "_s));
    EXPECT_FALSE(folder.exists(MhtIndex));
    EXPECT_EQ(index::openIndex(folder.path(), u"Probe"_s, db::TextKind::Utf8).candidates(u"KÄSE"_s).blockCount(), 1);

    const test::CliResult missing = cli(u"trigrams"_s, {u"-C"_s, folder.path(), u"Fehlt"_s});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(u"Die Datenbank \"Fehlt\" gibt es in"_s));
    EXPECT_EQ(cli(u"trigrams"_s, {}).exitCode, 2);
    EXPECT_EQ(cli(u"trigrams"_s, {u"--gibts-nicht"_s, u"Probe"_s}).exitCode, 2);

    QFile::remove(folder.file(u"Datenbank/Probe_UTF8Dokument.txt"_s));
    const test::CliResult noText = cli(u"trigrams"_s, {u"-C"_s, folder.path(), u"Probe"_s});
    EXPECT_EQ(noText.exitCode, 2);
    EXPECT_TRUE(noText.err.contains(u"keine Sammeldatei"_s));
}
