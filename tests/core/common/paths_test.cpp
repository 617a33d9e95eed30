#include "core/common/docpath.h"
#include "core/common/installfolders.h"
#include "core/common/paths.h"
#include "core/common/textfile.h"
#include "core/common/error.h"

#include "support/tempdir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace vespira;

TEST(ProgramFolder, ArgumentChoosesExecutableFolderElseWorkingDirectory)
{
    const QString exe = QStringLiteral("/opt/vespira");
    const QString cwd = QStringLiteral("/srv/anna/");
    EXPECT_EQ(paths::decideProgramFolder({QStringLiteral("prog")}, exe, cwd), QStringLiteral("/srv/anna/"));
    EXPECT_EQ(paths::decideProgramFolder({QStringLiteral("prog"), QString()}, exe, cwd), QStringLiteral("/srv/anna/"));
    EXPECT_EQ(paths::decideProgramFolder({QStringLiteral("prog"), QStringLiteral("x")}, exe, cwd), QStringLiteral("/opt/vespira/"));
}

TEST(InstallFolders, ShareFolderBesideTheBinFolderAndThePerUserDataFolder)
{
    test::TempProgramFolder prefix;
    prefix.write(QStringLiteral("bin/vespira"), "");
    EXPECT_EQ(paths::installedShareFolder(prefix.file(QStringLiteral("bin"))), QString()); // a build folder
    prefix.write(QStringLiteral("share/vespira-html/Adressen_Webseiten.txt"), "");
    EXPECT_EQ(paths::installedShareFolder(prefix.file(QStringLiteral("bin"))), prefix.file(QStringLiteral("share/vespira-html/")));

    const QString home = prefix.path();
    EXPECT_EQ(paths::userDataFolder(QStringLiteral("/srv/daten/"), home), QStringLiteral("/srv/daten/vespira-html/"));
    EXPECT_EQ(paths::userDataFolder(QString(), home), prefix.file(QStringLiteral(".local/share/vespira-html/")));
    EXPECT_EQ(paths::userDataFolder(QStringLiteral("daten"), home), prefix.file(QStringLiteral(".local/share/vespira-html/")));
}

TEST(ProgramFolder, FindsDataFilesWithoutRegardToCase)
{
    test::TempProgramFolder folder;
    folder.write(QStringLiteral("Datenbank/Archiv_UTF8DOKUMENT.txt"), "x");
    EXPECT_EQ(paths::resolveNoCase(folder.file(QStringLiteral("Datenbank")), QStringLiteral("Archiv_UTF8Dokument.txt")),
              folder.file(QStringLiteral("Datenbank/Archiv_UTF8DOKUMENT.txt")));
    EXPECT_EQ(paths::resolveNoCase(folder.file(QStringLiteral("Datenbank")), QStringLiteral("Fehlt.txt")),
              folder.file(QStringLiteral("Datenbank/Fehlt.txt")));
}

TEST(DocPath, MapsDriveLettersThroughSettings)
{
    const DocPathMapper mapper([](const QString &name) {
        return name == QStringLiteral("Laufwerk_D") ? QStringLiteral("/mnt/daten") : QString();
    });
    EXPECT_EQ(mapper.toNative(QStringLiteral("Z:\\srv\\anna\\a b.htm")), QStringLiteral("/srv/anna/a b.htm"));
    EXPECT_EQ(mapper.toNative(QStringLiteral("z:\\x.htm")), QStringLiteral("/x.htm"));
    EXPECT_EQ(mapper.toNative(QStringLiteral("d:\\Texte\\a.htm")), QStringLiteral("/mnt/daten/Texte/a.htm"));
    EXPECT_EQ(mapper.toNative(QStringLiteral("C:\\Texte\\a.htm")), QString());
    EXPECT_EQ(mapper.toNative(QStringLiteral("Texte\\a.htm")), QString());
}

TEST(DocPath, ExistsOnlyForRegularFiles)
{
    test::TempProgramFolder folder;
    folder.write(QStringLiteral("docs/a.htm"), "x");
    QDir().mkpath(folder.file(QStringLiteral("docs/sub")));
    const QString root = folder.path();
    const DocPathMapper mapper([root](const QString &name) {
        return name == QStringLiteral("Laufwerk_E") ? root : QString();
    });
    EXPECT_TRUE(mapper.existsAsFile(QStringLiteral("E:\\docs\\a.htm")));
    EXPECT_FALSE(mapper.existsAsFile(QStringLiteral("E:\\docs\\sub")));
    EXPECT_FALSE(mapper.existsAsFile(QStringLiteral("E:\\docs\\b.htm")));
}

TEST(TextFile, WritesEachCodePageAndKeepsTheOldFileOnFailure)
{
    test::TempProgramFolder folder;
    const QString path = folder.file(QStringLiteral("out.txt"));
    WriteToStream(QString::fromUtf16(u"Ä\r\n"), path, CodePage::Utf16LE);
    EXPECT_EQ(folder.read(QStringLiteral("out.txt")), QByteArray("\xFF\xFE\xC4\x00\r\x00\n\x00", 8));
    WriteToStream(QString::fromUtf16(u"Ä"), path, CodePage::Utf8);
    EXPECT_EQ(folder.read(QStringLiteral("out.txt")), QByteArray("\xC3\x84"));
    WriteToStream(QString::fromUtf16(u"Ä"), path, CodePage::Ansi);
    EXPECT_EQ(folder.read(QStringLiteral("out.txt")), QByteArray("\xC4"));

    EXPECT_THROW(WriteToStream(QStringLiteral("x"), folder.file(QStringLiteral("missing/out.txt")), CodePage::Utf8), Error);
}
