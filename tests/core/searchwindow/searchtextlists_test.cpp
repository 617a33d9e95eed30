#include "core/searchwindow/bookmarks.h"
#include "core/searchwindow/searchtextlists.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::searchwindow;
using app::DocumentKind;

TEST(RememberSearchText, NewestFirstOnceByExactCaseAtMostFiftyWithoutEmptyOrPlaceholder)
{
    QStringList texts {u""_s, QString::fromUtf16(SearchTextPlaceholder), u"Baum"_s, u""_s};
    rememberSearchText(texts, u"Haus"_s);
    EXPECT_EQ(texts, (QStringList {u"Haus"_s, u"Baum"_s}));
    rememberSearchText(texts, u"Haus"_s);
    rememberSearchText(texts, u"Baum"_s);
    rememberSearchText(texts, u"haus"_s);
    EXPECT_EQ(texts, (QStringList {u"haus"_s, u"Baum"_s, u"Haus"_s}));

    // A list file grown past the limit elsewhere is cut back to it.
    for (int i = 1; i <= 57; ++i)
        texts << u"Text%1"_s.arg(i);
    rememberSearchText(texts, u"Neu"_s);
    ASSERT_EQ(texts.size(), 50);
    EXPECT_EQ(texts.first(), u"Neu"_s);
    EXPECT_EQ(texts.last(), u"Text46"_s);
}

TEST(SearchTextListFile, WritesUtf16WithMarkAndCrLfAndReadsItBack)
{
    test::TempProgramFolder folder;
    const QString path = folder.file(u"Datenbank/Suchwoerterlisten/A_Utf8_Suchwoerterliste.txt"_s);
    writeSearchTextList(path, {u"Käse"_s, u"a b"_s});
    const QByteArray expected = QByteArray("\xFF\xFE", 2)
        + QByteArray("K\0\xE4\0s\0e\0\r\0\n\0a\0 \0b\0\r\0\n\0", 22);
    EXPECT_EQ(folder.read(u"Datenbank/Suchwoerterlisten/A_Utf8_Suchwoerterliste.txt"_s), expected);
    EXPECT_EQ(readSearchTextList(path), (QStringList {u"Käse"_s, u"a b"_s}));
}

TEST(SearchTextListFile, ReadsByByteOrderMarkAndWindows1252WithoutOne)
{
    test::TempProgramFolder folder;
    folder.write(u"be.txt"_s, QByteArray("\xFE\xFF\0K\0\xE4\0s\0e\0\r\0\n\0x", 16));
    folder.write(u"u8.txt"_s, QByteArray("\xEF\xBB\xBFK\xC3\xA4se\nx\n"));
    folder.write(u"ansi.txt"_s, QByteArray("K\xE4se\r\n\r\nx\r\n"));
    for (const char16_t *name : {u"be.txt", u"u8.txt", u"ansi.txt"})
        EXPECT_EQ(readSearchTextList(folder.file(QString::fromUtf16(name))),
                  (QStringList {u"Käse"_s, u"x"_s}))
            << QString::fromUtf16(name).toStdString();
    EXPECT_TRUE(readSearchTextList(folder.file(u"fehlt.txt"_s)).isEmpty());
}

TEST(SearchTextListFile, PathFindsAFileWhoseNameDiffersInCaseButKeepsToItsOwnDatabase)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Suchwoerterlisten/archiv_mht_suchwoerterliste.txt"_s, "x");
    EXPECT_EQ(searchTextListPath(folder.path(), u"Archiv"_s, DocumentKind::Mht),
              folder.file(u"Datenbank/Suchwoerterlisten/archiv_mht_suchwoerterliste.txt"_s));

    folder.write(u"Datenbank/Archiv.dat"_s, "x");
    folder.write(u"Datenbank/ARCHIV.dat"_s, "x");
    folder.write(u"Datenbank/Suchwoerterlisten/Archiv_Gesamt_OhneDB_Suchwoerterliste.txt"_s, "x");
    EXPECT_EQ(searchTextListPath(folder.path(), u"ARCHIV"_s, DocumentKind::None),
              folder.file(u"Datenbank/Suchwoerterlisten/ARCHIV_Gesamt_OhneDB_Suchwoerterliste.txt"_s));
    EXPECT_EQ(searchTextListPath(folder.path(), u"Archiv"_s, DocumentKind::None),
              folder.file(u"Datenbank/Suchwoerterlisten/Archiv_Gesamt_OhneDB_Suchwoerterliste.txt"_s));
}

TEST(UpdateAfterSearch, SavesByShownKindAndItsHitFlag)
{
    test::TempProgramFolder folder;
    const QString utf8 = searchTextListPath(folder.path(), u"A"_s, DocumentKind::Utf8);
    const QString mht = searchTextListPath(folder.path(), u"A"_s, DocumentKind::Mht);
    const QString general = searchTextListPath(folder.path(), u"A"_s, DocumentKind::None);

    app::SearchRunState run; // flags still set: no hit in the shown kind
    QStringList texts;
    EXPECT_TRUE(updateSearchTextListsAfterSearch(texts, u"Haus"_s, folder.path(), u"A"_s,
                                                 DocumentKind::Utf8, run).isEmpty());
    EXPECT_EQ(texts, QStringList {u"Haus"_s});

    run.utf8ListFlag = false;
    EXPECT_EQ(updateSearchTextListsAfterSearch(texts, u"Baum"_s, folder.path(), u"A"_s,
                                               DocumentKind::Utf8, run),
              QStringList {utf8});
    EXPECT_EQ(readSearchTextList(utf8), (QStringList {u"Baum"_s, u"Haus"_s}));

    // The UTF-8 flag says nothing while the MHT kind is shown; the ANSI list is never written.
    EXPECT_TRUE(searchTextListsToSave(texts, folder.path(), u"A"_s, DocumentKind::Mht, run).isEmpty());
    EXPECT_TRUE(searchTextListsToSave(texts, folder.path(), u"A"_s, DocumentKind::Ansi, run).isEmpty());
    run.mhtListFlag = false;
    EXPECT_EQ(searchTextListsToSave(texts, folder.path(), u"A"_s, DocumentKind::Mht, run), QStringList {mht});

    // No kind shown: the general list, only when the run found something.
    run.noResult = true;
    EXPECT_TRUE(searchTextListsToSave(texts, folder.path(), u"A"_s, DocumentKind::None, run).isEmpty());
    run.noResult = false;
    EXPECT_EQ(searchTextListsToSave(texts, folder.path(), u"A"_s, DocumentKind::None, run), QStringList {general});
}

TEST(Bookmarks, OnlyAPositiveWholeNumberIsRestored)
{
    EXPECT_EQ(bookmarkToRestore(u"4294967296"_s), 4294967296LL); // past 32 bits
    EXPECT_EQ(bookmarkToRestore(bookmarkText(123)), 123);
    EXPECT_EQ(bookmarkToRestore(u"0"_s), std::nullopt);
    EXPECT_EQ(bookmarkToRestore(u"-5"_s), std::nullopt);
    EXPECT_EQ(bookmarkToRestore(u""_s), std::nullopt);
    EXPECT_EQ(bookmarkToRestore(u"12abc"_s), std::nullopt);
    EXPECT_EQ(bookmarkValueName(DocumentKind::Mht, u"A"_s), u"Lesezeichen_Unicode_A"_s);
    EXPECT_EQ(bookmarkValueName(DocumentKind::Utf8, u"A"_s), u"Lesezeichen_Utf8_A"_s);
}
