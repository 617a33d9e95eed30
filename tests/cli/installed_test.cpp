#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// A vespira that lies in <prefix>/bin beside <prefix>/share/vespira-html is an installed one
// (and so is the vespira-index in <prefix>/libexec/vespira-html its index command runs):
// given no -C, it works in the per-user data folder that the installed program starts in from
// the desktop menu, and makes that folder. From a build folder it works in the working folder.
TEST(InstalledCli, WithoutAFolderUsesThePerUserDataFolder)
{
    vespira::test::TempProgramFolder root;
    root.write(u"docs/a.html"_s, "<title>A</title><p>Hallo Welt</p>");
    root.write(u"arbeit/.keep"_s, "");
    ASSERT_TRUE(QDir().mkpath(root.file(u"prefix/bin"_s)));
    const QString installed = root.file(u"prefix/bin/vespira"_s);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VESPIRA_CLI), installed));

    const auto run = [&](const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, root.file(u"daten"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, root.file(u"config"_s));
        env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(root.file(u"arbeit"_s));
        process.start(installed, arguments);
        process.waitForFinished(120000);
        return process.exitCode();
    };

    // Its index command runs the program installed beside the desktop launcher.
    EXPECT_EQ(run({u"index"_s, u"Archiv"_s, root.file(u"docs"_s)}), 2); // not there
    EXPECT_FALSE(root.exists(u"arbeit/Datenbank"_s));
    ASSERT_TRUE(QDir().mkpath(root.file(u"prefix/libexec/vespira-html"_s)));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VESPIRA_INDEX), root.file(u"prefix/libexec/vespira-html/vespira-index"_s)));

    // Not installed yet: no share folder beside its bin folder.
    EXPECT_EQ(run({u"index"_s, u"Archiv"_s, root.file(u"docs"_s)}), 0);
    EXPECT_TRUE(root.exists(u"arbeit/Datenbank/Archiv.dat"_s));
    EXPECT_FALSE(root.exists(u"daten"_s));

    ASSERT_TRUE(QDir().mkpath(root.file(u"prefix/share/vespira-html"_s)));
    EXPECT_EQ(run({u"index"_s, u"Archiv"_s, root.file(u"docs"_s)}), 0);
    EXPECT_TRUE(root.exists(u"daten/vespira-html/Datenbank/Archiv.dat"_s));
    EXPECT_EQ(run({u"search"_s, u"Archiv"_s, u"Welt"_s}), 0);
    EXPECT_TRUE(root.exists(u"daten/vespira-html/Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_EQ(run({u"lists"_s, u"Archiv"_s}), 0);
    EXPECT_TRUE(root.exists(u"daten/vespira-html/Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s));
    // -C still names the folder.
    EXPECT_EQ(run({u"search"_s, u"-C"_s, root.file(u"arbeit"_s), u"Archiv"_s, u"Welt"_s}), 0);
    EXPECT_TRUE(root.exists(u"arbeit/Datenbank/Temp/Vespira_Ergebnis.htm"_s));
}
