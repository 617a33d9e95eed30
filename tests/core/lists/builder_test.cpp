#include "core/lists/listbuilder.h"
#include "core/lists/sortrun.h"

#include "support/tempdir.h"
#include "support/textdata.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::lists;
using vespira::DocPathMapper;

namespace {

// A database "Archiv" whose documents lie in the temporary program folder, named by
// Z: paths (Z: is the file-system root).
class ListBuild : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &name : {u"a.htm"_s, u"b.htm"_s, u"c.htm"_s})
            folder.write(u"docs/"_s + name, "x");
    }

    QString doc(const QString &file) const
    {
        return u"Z:"_s + QString(folder.file(u"docs/"_s + file)).replace(u'/', u'\\');
    }
    void writeFileList(const QString &firstDocument)
    {
        folder.write(u"Datenbank/Archiv.dat"_s, (u"PFAD_UND_ENDUNGEN=Z:\\ .htm\r\n"_s + firstDocument + u"\r\n"_s).toUtf8());
    }
    void writeUtf8(const QString &text) { folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, text.toUtf8()); }
    void writeMht(const QString &text) { folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, vespira::test::utf16le(text)); }
    QString utf8List() const { return QString::fromUtf8(folder.read(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s)); }

    SortRunRequest request(SplitMode mode = SplitMode::Words) const
    {
        return {folder.path(), u"Archiv"_s, mode, DocPathMapper {}, PieceSize};
    }
    SortRunOutcome run(SortRunCallbacks callbacks = {}, SplitMode mode = SplitMode::Words)
    {
        return SortierteListenErstellen(request(mode), state, replacementDrive, callbacks);
    }

    vespira::test::GermanLocale locale;
    vespira::test::TempProgramFolder folder;
    vespira::app::SortState state;
    QString replacementDrive;
};

// The list files themselves are pinned byte for byte by the command-line tests.
TEST_F(ListBuild, DocumentsAreCheckedAndFoundUnderTheReplacementDrive)
{
    writeFileList(doc(u"fehlt.htm"_s)); // missing: the probe finds the file list under Z
    const QString onQ = u"Q"_s + doc(u"b.htm"_s).mid(1);
    writeUtf8(u"#"_s + doc(u"a.htm"_s) + u"\r\nText\r\n#"_s + onQ + u"\r\n#"_s + doc(u"weg.htm"_s)
              + u"\r\n#"_s + doc(u"c.htm"_s) + u"\r\n"_s);
    // A folder is no document.
    QDir().mkpath(folder.file(u"docs/ordner.htm"_s));
    writeUtf8(QString::fromUtf8(folder.read(u"Datenbank/Archiv_UTF8Dokument.txt"_s)) + u"#"_s + doc(u"ordner.htm"_s) + u"\r\n"_s);

    QStringList captions;
    SortRunCallbacks callbacks;
    callbacks.caption = [&](const QString &c) { captions << c; };
    EXPECT_EQ(run(callbacks), SortRunOutcome::Finished);
    EXPECT_EQ(replacementDrive, u"Z"_s);
    const QStringList lines = utf8List().split(u"\r\n"_s, Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList {u"Text"_s, u"#"_s + onQ, u"#"_s + doc(u"a.htm"_s), u"#"_s + doc(u"c.htm"_s)}));
    ASSERT_EQ(captions.size(), 6);
    EXPECT_EQ(captions[0], u"Sortierung von: \"Archiv\" läuft."_s);
    EXPECT_EQ(captions[1], u"UTF8 1 von 5 "_s + doc(u"a.htm"_s));
    EXPECT_EQ(captions[2], u"UTF8 2 von 5 "_s + onQ);
    EXPECT_EQ(captions[3], u"UTF8 2 von 5 "_s);
    EXPECT_EQ(captions[5], u"UTF8 3 von 5 "_s);
}

TEST_F(ListBuild, ALongLineLetsProgressThroughAndACancelWithinLeavesTheEarlierList)
{
    writeFileList(doc(u"a.htm"_s));
    QString line;
    for (int i = 0; i < 100000; ++i)
        line += u"Wort"_s + QString::number(i) + u' ';
    writeUtf8(u"#"_s + doc(u"a.htm"_s) + u"\r\n"_s + line + u"\r\n"_s);
    SortRunRequest paced = request();
    paced.progressIntervalMs = 0; // a report at every reading of the clock

    int calls = 0;
    SortRunCallbacks callbacks;
    callbacks.progress = [&](qint64, qint64) { ++calls; };
    EXPECT_EQ(SortierteListenErstellen(paced, state, replacementDrive, callbacks), SortRunOutcome::Finished);
    EXPECT_GT(calls, 1000); // inside the line and the sort, not only between pieces and documents
    EXPECT_TRUE(utf8List().startsWith(u"Wort0\r\nWort1\r\nWort10\r\n"_s));

    // The 50th call comes from inside the line, the 20000th from inside the sort; nothing
    // runs after a cancel.
    folder.write(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s, "alte Liste\r\n");
    bool written = true;
    callbacks.fileFinished = [&](const QString &, bool w) { written = w; };
    for (const int stop : {50, 20000}) {
        calls = 0;
        state.sortCancel.clear();
        callbacks.progress = [&](qint64, qint64) {
            if (++calls == stop)
                state.sortCancel.request();
        };
        EXPECT_EQ(SortierteListenErstellen(paced, state, replacementDrive, callbacks), SortRunOutcome::Cancelled);
        EXPECT_EQ(calls, stop);
        EXPECT_FALSE(written);
        EXPECT_TRUE(state.sortCancel.isRequested());
        EXPECT_FALSE(state.sorting);
        EXPECT_EQ(folder.read(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s), "alte Liste\r\n");
    }
    // The flag stays set: a second run builds nothing until the panel clears it.
    EXPECT_EQ(run(), SortRunOutcome::Cancelled);
    EXPECT_EQ(folder.read(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s), "alte Liste\r\n");
}

TEST_F(ListBuild, OnlyTheMhtFileGivesOnlyTheMhtList)
{
    writeFileList(doc(u"a.htm"_s));
    writeMht(u"#"_s + doc(u"a.htm"_s) + u"\r\nGroße Häuser, kleine Hütten. Allein\r\n"_s);
    folder.write(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s, "alt");
    QStringList status;
    SortRunCallbacks callbacks;
    callbacks.status = [&](const QString &s) { status << s; };
    EXPECT_EQ(run(callbacks, SplitMode::Phrases), SortRunOutcome::Finished);
    EXPECT_EQ(status, (QStringList {u"Sortierte Liste von: Archiv_MHTtext.txt"_s}));
    EXPECT_FALSE(folder.exists(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s));
    EXPECT_FALSE(folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    // No blank entry beside a lone document outside the UTF-8 list.
    EXPECT_EQ(folder.read(u"Datenbank/Archiv_Phrasen_Woerter_MHTListe.txt"_s),
              vespira::test::utf16le(u"Große Häuser\r\nkleine Hütten\r\n#"_s + doc(u"a.htm"_s) + u"\r\n"_s));
}

TEST_F(ListBuild, NoCollectedFileAndShortFiles)
{
    EXPECT_EQ(run(), SortRunOutcome::NoCollectedFile); // the panel's test shows its message
    writeUtf8(u"abcd"_s); // under 5 bytes: skipped without a message
    EXPECT_EQ(run(), SortRunOutcome::Finished);
    EXPECT_FALSE(folder.exists(u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s));
}

TEST_F(ListBuild, PiecesCutSmallGiveTheSameListAsOne)
{
    writeFileList(doc(u"a.htm"_s));
    QString text = u"#"_s + doc(u"a.htm"_s) + u"\r\n"_s;
    for (int i = 0; i < 300; ++i)
        text += u"Straße Nummer "_s + QString::number(i % 37) + u", Größe\r\n"_s;
    text += u"#"_s + doc(u"b.htm"_s) + u"\r\nEnde gut, alles gut\r\n"_s;
    writeUtf8(text);
    EXPECT_EQ(run({}, SplitMode::WordsAndPhrases), SortRunOutcome::Finished);
    const QString whole = utf8List();
    SortRunRequest small = request(SplitMode::WordsAndPhrases);
    small.pieceSize = 97;
    EXPECT_EQ(SortierteListenErstellen(small, state, replacementDrive, {}), SortRunOutcome::Finished);
    EXPECT_EQ(utf8List(), whole);
    EXPECT_TRUE(whole.contains(u"\r\nStraße Nummer 36\r\n"_s));
    EXPECT_FALSE(whole.contains(u"\r\n \r\n"_s)); // two documents: no blank entry
}

TEST_F(ListBuild, DriveLetterProbeWithoutASecondLine)
{
    folder.write(u"Datenbank/Archiv.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\ .htm\r\n");
    QString replacement = u"X"_s;
    EXPECT_EQ(documentDriveLetter(folder.path(), u"Archiv"_s, DocPathMapper {}, replacement), u"Z"_s);
    EXPECT_EQ(replacement, u"Z"_s);
    // The probe finds the file list under a mapped letter too, and the last letter wins.
    const QString root = folder.path();
    DocPathMapper mapped([&](const QString &n) { return n == u"Laufwerk_D"_s ? root : QString(); });
    EXPECT_EQ(documentDriveLetter(root, u"Archiv"_s, mapped, replacement), u"Z"_s);
    // Without a file list no letter is found.
    EXPECT_EQ(documentDriveLetter(root, u"Fehlt"_s, mapped, replacement), QString());
    EXPECT_EQ(replacement, QString());
}

} // namespace
