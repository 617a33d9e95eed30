#include "cli/clirun.h"
#include "support/tempdir.h"
#include "support/textdata.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Result = vespira::test::CliResult;

// A database "Archiv" written by hand: its documents lie in the temporary program folder
// and are named by their Z: paths. The command runs with its settings in a folder of the
// test's and in the C locale.
class ListsCommandTest : public ::testing::Test
{
protected:
    ListsCommandTest()
    {
        folder.write(u"docs/a.htm"_s, "a");
        folder.write(u"docs/b.htm"_s, "b");
        folder.write(u"Datenbank/Archiv.dat"_s,
                     (u"PFAD_UND_ENDUNGEN=Z:\\ .htm\r\n"_s + doc(u"a.htm"_s) + u"\r\n"_s).toUtf8());
    }

    Result run(const QStringList &arguments, const QString &locale = u"C.UTF-8"_s) const
    {
        return vespira::test::runCli(QStringList {u"lists"_s} + arguments, {config.path(), locale});
    }
    Result lists(const QStringList &options = {}, const QString &locale = u"C.UTF-8"_s) const
    {
        return run(QStringList {u"-C"_s, folder.path()} + options + QStringList {u"Archiv"_s}, locale);
    }

    QString doc(const QString &name) const { return u"Z:"_s + folder.file(u"docs/"_s + name).replace(u'/', u'\\'); }
    QString marker(const QString &name) const { return u"#"_s + doc(name) + u"\r\n"_s; }
    void writeUtf8(const QByteArray &text) const { folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, text); }
    void writeMht(const QString &text) const { folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, vespira::test::utf16le(text)); }
    static QString utf8List() { return u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s; }
    static QString mhtList() { return u"Datenbank/Archiv_Phrasen_Woerter_MHTListe.txt"_s; }
    QStringList piecesLeft() const
    {
        return QDir(folder.file(u"Datenbank/Temp"_s)).entryList({u"*.txt"_s}, QDir::Files);
    }
    // Starts a run over "Archiv" and returns once done() holds, with the run still going.
    void startWhen(QProcess &process, const std::function<bool()> &done) const
    {
        process.setProcessEnvironment(vespira::test::cliEnvironment({config.path()}));
        process.start(QStringLiteral(VESPIRA_CLI), {u"lists"_s, u"-C"_s, folder.path(), u"Archiv"_s});
        ASSERT_TRUE(process.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QThread::msleep(1);
    }

    QTemporaryDir config;
    vespira::test::TempProgramFolder folder;
};

} // namespace

TEST_F(ListsCommandTest, WordListIsWrittenByteForByte)
{
    writeUtf8((marker(u"a.htm"_s) + u"Das Haus, das Dach; und: ein HAUS\r\n"_s
               + u"  Ärger im Öl über Übel\tärger\r\n"_s + marker(u"fehlt.htm"_s) + u"nicht gezählt? doch\r\n"_s
               + marker(u"b.htm"_s) + u"zu ab ?? xyz\r\n****** Stern\r\n==========\r\n"_s)
                  .toUtf8());
    // The user's locale orders the groups: the C locale by code point, letter case aside.
    Result r = lists();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, folder.file(utf8List()) + u"\n"_s);
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())),
              u"Dach\r\nDas\r\ndoch\r\nein\r\nÄrger\r\ngezählt?\r\nHaus\r\nnicht\r\nund\r\nÜbel\r\nüber\r\n"_s
                  + marker(u"a.htm"_s) + marker(u"b.htm"_s));
    r = lists({}, u"de_DE.UTF-8"_s);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())),
              u"Ärger\r\nDach\r\nDas\r\ndoch\r\nein\r\ngezählt?\r\nHaus\r\nnicht\r\nÜbel\r\nüber\r\nund\r\n"_s
                  + marker(u"a.htm"_s) + marker(u"b.htm"_s));
    EXPECT_FALSE(folder.read(utf8List()).startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(folder.exists(mhtList()));
    EXPECT_TRUE(piecesLeft().isEmpty());
}

TEST_F(ListsCommandTest, PhraseAndCombinedModes)
{
    writeUtf8((marker(u"a.htm"_s) + u"Er kam. Sie ging, und dann\r\nHallo\r\nJa da\r\n"_s).toUtf8());
    Result r = lists({u"--mode"_s, u"phrases"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // One document in UTF-8: the document list gets its single blank.
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())),
              u"Er kam\r\nJa da\r\nSie ging\r\nund dann\r\n \r\n"_s + marker(u"a.htm"_s));

    r = lists({u"--mode"_s, u"both"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())),
              u"dann\r\nEr kam\r\nging\r\nHallo\r\nJa da\r\nkam.\r\nSie\r\nSie ging\r\nund\r\nund dann\r\n \r\n"_s
                  + marker(u"a.htm"_s));
}

TEST_F(ListsCommandTest, TheDatabaseNameDoesNotChooseTheListMode)
{
    for (const QString &name : {u"Haus_Ansichten"_s, u"Texte_utf8"_s}) {
        const QString base = u"Datenbank/"_s + name;
        folder.write(base + u".dat"_s, (u"PFAD_UND_ENDUNGEN=Z:\\ .htm\r\n"_s + doc(u"a.htm"_s) + u"\r\n"_s).toUtf8());
        folder.write(base + u"_UTF8Dokument.txt"_s, (marker(u"a.htm"_s) + u"Ärger im Haus\r\n"_s).toUtf8());
        folder.write(base + u"_MHTtext.txt"_s, vespira::test::utf16le(marker(u"a.htm"_s) + u"Das Dach\r\n"_s));

        const Result r = run({u"-C"_s, folder.path(), name});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString utf8 = base + u"_Phrasen_Woerter_Utf8Liste.txt"_s;
        const QString mht = base + u"_Phrasen_Woerter_MHTListe.txt"_s;
        EXPECT_EQ(r.out, folder.file(utf8) + u"\n"_s + folder.file(mht) + u"\n"_s);
        EXPECT_EQ(QString::fromUtf8(folder.read(utf8)), u"Ärger\r\nHaus\r\n \r\n"_s + marker(u"a.htm"_s)) << name.toStdString();
        EXPECT_EQ(folder.read(mht), vespira::test::utf16le(u"Dach\r\nDas\r\n"_s + marker(u"a.htm"_s))) << name.toStdString();
        EXPECT_FALSE(folder.exists(base + u"_Phrasen_Woerter_AnsiListe.txt"_s));
    }
}

TEST_F(ListsCommandTest, ErrorsExitWithTwoAndWriteNothing)
{
    const struct
    {
        QStringList arguments;
        QString message;
    } cases[] = {
        {{u"-C"_s, folder.path()}, u"Der Name der Datenbank fehlt."_s},
        {{u"-C"_s}, u"Nach -C fehlt ein Wert."_s},
        {{u"-C"_s, folder.path(), u"Archiv"_s, u"--mode"_s}, u"Nach --mode fehlt ein Wert."_s},
        {{u"-C"_s, folder.path(), u"--mode"_s, u"woerter"_s, u"Archiv"_s}, u"Unbekannter Modus \"woerter\""_s},
        {{u"-C"_s, folder.path(), u"--schnell"_s, u"Archiv"_s}, u"Unbekannte Option \"--schnell\""_s},
        {{u"-C"_s, folder.path(), u"Archiv"_s, u"Zweite"_s}, u"Nur ein Datenbankname ist erlaubt."_s},
        {{u"-C"_s, folder.path(), u"../Archiv"_s}, u"Ungültiger Datenbankname \"../Archiv\""_s},
        {{u"-C"_s, folder.path(), u"docs\\a"_s}, u"Ungültiger Datenbankname"_s},
        {{u"-C"_s, folder.file(u"docs"_s), u"Archiv"_s}, u"keinen Ordner \"Datenbank\""_s},
        {{u"-C"_s, folder.path(), u"Archiv"_s},
         u"Für die Datenbank \"Archiv\" existieren keine Dokumente, die sortiert werden könnten!"_s},
    };
    for (const auto &c : cases) {
        const Result r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(QDir(folder.file(u"Datenbank"_s)).entryList(QDir::Files), QStringList {u"Archiv.dat"_s});

    const Result help = run({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(u"Aufruf: vespira lists"_s));
}

TEST_F(ListsCommandTest, InterruptedOrKilledRunLeavesTheEarlierLists)
{
    // Large enough that a run is still cutting or building when the signal arrives.
    QByteArray text;
    for (int i = 0; i < 400000; ++i) {
        if (i % 1000 == 0)
            text += marker(u"a.htm"_s).toUtf8();
        text += "Wort" + QByteArray::number(i) + " und noch mehr Text, Satz " + QByteArray::number(i % 977) + ".\r\n";
    }
    writeUtf8(text);
    writeMht(marker(u"a.htm"_s) + u"Anderer Text\r\n"_s);
    folder.write(utf8List(), "alte Liste\r\n");
    folder.write(mhtList(), "alte MHT-Liste\r\n");

    for (const int signal : {SIGINT, SIGKILL}) {
        QDir(folder.file(u"Datenbank/Temp"_s)).removeRecursively();
        QProcess process;
        // The first piece appears once the run has its interrupt handler.
        startWhen(process, [&] { return folder.exists(u"Datenbank/Temp/SplitDokument001.txt"_s); });
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        if (signal == SIGINT) {
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 130);
            EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(u"abgebrochen"_s));
            EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        }
        EXPECT_EQ(folder.read(utf8List()), "alte Liste\r\n") << signal;
        EXPECT_EQ(folder.read(mhtList()), "alte MHT-Liste\r\n") << signal;
    }

    // The next run clears the pieces a killed run left behind.
    writeUtf8(marker(u"a.htm"_s).toUtf8() + "Neuer Text\r\n");
    const Result r = lists();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, folder.file(utf8List()) + u"\n"_s + folder.file(mhtList()) + u"\n"_s);
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())), u"Neuer\r\nText\r\n \r\n"_s + marker(u"a.htm"_s));
    EXPECT_TRUE(piecesLeft().isEmpty());
}

TEST_F(ListsCommandTest, AnInterruptAfterTheUtf8ListNamesItAsNew)
{
    writeUtf8(marker(u"a.htm"_s).toUtf8() + "Neuer Text\r\n");
    QString mht = marker(u"a.htm"_s);
    for (int i = 0; i < 400000; ++i)
        mht += u"Wort"_s + QString::number(i) + u" und noch mehr Text, Satz "_s + QString::number(i % 977) + u".\r\n"_s;
    writeMht(mht);
    folder.write(utf8List(), "alte Liste\r\n");
    folder.write(mhtList(), "alte MHT-Liste\r\n");

    QProcess process;
    startWhen(process, [&] { return folder.read(utf8List()) != "alte Liste\r\n"; });
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(folder.read(mhtList()), "alte MHT-Liste\r\n") << "the run ended before the interrupt";
    EXPECT_EQ(process.exitCode(), 130);
    const QString path = folder.file(utf8List());
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), path + u"\n"_s);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              u"vespira lists: abgebrochen, neu geschrieben ist nur "_s + path
                  + u"; die übrigen Listen bleiben unverändert.\n"_s);
    EXPECT_EQ(QString::fromUtf8(folder.read(utf8List())), u"Neuer\r\nText\r\n \r\n"_s + marker(u"a.htm"_s));
}

TEST_F(ListsCommandTest, AFailedMhtListNamesTheUtf8ListAsNew)
{
    writeUtf8(marker(u"a.htm"_s).toUtf8() + "Neuer Text\r\n");
    writeMht(marker(u"a.htm"_s) + u"Anderer Text\r\n"_s);
    QDir().mkpath(folder.file(mhtList())); // a folder where the MHT list goes
    const Result r = lists();
    EXPECT_EQ(r.exitCode, 2);
    const QString path = folder.file(utf8List());
    EXPECT_EQ(r.out, path + u"\n"_s);
    EXPECT_TRUE(r.err.contains(u"kann nicht geschrieben werden"_s)) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith(u"\nvespira lists: neu geschrieben ist nur "_s + path
                               + u"; die übrigen Listen bleiben unverändert.\n"_s))
        << r.err.toStdString();
}

TEST(ListsCommand, ListOfADatabaseBuiltByTheIndexCommand)
{
    QTemporaryDir config;
    vespira::test::TempProgramFolder folder;
    folder.write(u"docs/apfel.html"_s, "<html><head><title>Obstgarten</title></head><body><p>Apfel, Birne und Kirsche.</p></body></html>");
    folder.write(u"docs/brot.htm"_s, "<html><head><title>Backstube</title></head><body><p>Brot und Butter</p></body></html>");
    for (const QStringList &arguments : {QStringList {u"index"_s, u"-C"_s, folder.path(), u"Obst"_s, folder.file(u"docs"_s)},
                                         QStringList {u"lists"_s, u"-C"_s, folder.path(), u"Obst"_s}}) {
        const Result r = vespira::test::runCli(arguments, {config.path()});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    const QString path = u"Z:"_s + folder.file(u"docs/"_s).replace(u'/', u'\\');
    EXPECT_EQ(QString::fromUtf8(folder.read(u"Datenbank/Obst_Phrasen_Woerter_Utf8Liste.txt"_s)),
              u"Apfel\r\nBackstube\r\nBirne\r\nBrot\r\nButter\r\nKirsche.\r\nObstgarten\r\nund\r\n#"_s + path
                  + u"apfel.html\r\n#"_s + path + u"brot.htm\r\n"_s);
}
