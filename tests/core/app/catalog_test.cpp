#include "core/app/catalog.h"

#include "support/tempdir.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

TEST(Catalog, ListsDatabasesAndSkipsSideFiles)
{
    test::TempProgramFolder folder;
    for (const QString &name : {u"Archiv.dat"_s, u"Archiv_mht.dat"_s, u"Archiv_mht_temp.dat"_s, u"Test_temp.dat"_s,
                               u"Notizen.DAT"_s, u"Straße.dat"_s, u"Отчёт.dat"_s, u"liesmich.txt"_s,
                               u"Archiv.log"_s, u"Alt_MHT.DAT"_s})
        folder.write(u"Datenbank/"_s + name, "x");
    QStringList names = app::LiesNamenDatenbanken(folder.path());
    names.sort();
    EXPECT_EQ(names, (QStringList {u"Archiv"_s, u"Notizen"_s, u"Straße"_s, u"Отчёт"_s}));

    QDir(folder.file(u"Datenbank"_s)).removeRecursively();
    EXPECT_TRUE(app::LiesNamenDatenbanken(folder.path()).isEmpty());

    EXPECT_EQ(app::databaseNameOf(u"a.dat.dat"_s), u"a.dat"_s);
    EXPECT_EQ(app::databaseNameOf(u"x_TEMP.DAT"_s), QString());
    EXPECT_EQ(app::databaseNameOf(u".dat"_s), QString());
}

TEST(Catalog, RestoresSelectionWithinTheList)
{
    EXPECT_EQ(app::restoreSelectionIndex(u"2"_s, 3), 2);
    EXPECT_EQ(app::restoreSelectionIndex(u"3"_s, 3), 0); // equal to the count
    EXPECT_EQ(app::restoreSelectionIndex(u"-1"_s, 3), 0);
    EXPECT_EQ(app::restoreSelectionIndex(u"zwei"_s, 3), 0);
    EXPECT_EQ(app::restoreSelectionIndex(u"0"_s, 0), -1);
}

TEST(Catalog, DeletesAllTwentyOneFilesOfOneDatabase)
{
    test::TempProgramFolder folder;
    const QStringList expected {
        u"Datenbank/Archiv.log"_s, u"Datenbank/Archiv.dat"_s, u"Datenbank/Archiv_mht.dat"_s,
        u"Datenbank/Archiv_mht_temp.dat"_s, u"Datenbank/Archiv_AnsiDokument.txt"_s,
        u"Datenbank/Archiv_UTF8Dokument.txt"_s, u"Datenbank/Archiv_MHTtext.txt"_s,
        u"Datenbank/Archiv_Ansi_TitelPositionen.txt"_s, u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s,
        u"Datenbank/Archiv_MHT_TitelPositionen.txt"_s, u"Datenbank/Archiv_Phrasen_Woerter_AnsiListe.txt"_s,
        u"Datenbank/Archiv_Phrasen_Woerter_MHTListe.txt"_s, u"Datenbank/Archiv_Phrasen_Woerter_Utf8Liste.txt"_s,
        u"Datenbank/Archiv_UTF8Trigramme.idx"_s, u"Datenbank/Archiv_MHTTrigramme.idx"_s,
        u"Datenbank/Archiv_Quellen.txt"_s, u"Datenbank/Archiv_Dokumentstand.txt"_s,
        u"Datenbank/Suchwoerterlisten/Archiv_Ansi_Suchwoerterliste.txt"_s,
        u"Datenbank/Suchwoerterlisten/Archiv_Utf8_Suchwoerterliste.txt"_s,
        u"Datenbank/Suchwoerterlisten/Archiv_MHT_Suchwoerterliste.txt"_s,
        u"Datenbank/Suchwoerterlisten/Archiv_Gesamt_OhneDB_Suchwoerterliste.txt"_s};
    QStringList full;
    for (const QString &f : expected) {
        folder.write(f, "x");
        full << folder.file(f);
    }
    EXPECT_EQ(app::databaseFiles(folder.path(), u"Archiv"_s), full);
    folder.write(u"Datenbank/Archiv2.dat"_s, "x");
    folder.write(u"Datenbank/Suchwoerterlisten/Archiv2_Utf8_Suchwoerterliste.txt"_s, "x");
    QDir().mkpath(folder.file(u"Datenbank/Archiv.log.d"_s));

    EXPECT_EQ(app::deleteDatabaseFiles(folder.path(), u"Archiv"_s).size(), 21);
    for (const QString &f : expected)
        EXPECT_FALSE(folder.exists(f)) << f.toStdString();
    EXPECT_TRUE(folder.exists(u"Datenbank/Archiv2.dat"_s));
    EXPECT_TRUE(folder.exists(u"Datenbank/Suchwoerterlisten/Archiv2_Utf8_Suchwoerterliste.txt"_s));
    EXPECT_TRUE(app::deleteDatabaseFiles(folder.path(), u"Archiv"_s).isEmpty()); // nothing left: no error
}

TEST(Catalog, DeletionFindsFilesWhoseCaseDiffersButLeavesTheOtherSpellingAlone)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Notizen.DAT"_s, "x");
    folder.write(u"Datenbank/NOTIZEN_utf8dokument.TXT"_s, "x"); // the only database: any spelling means it
    app::deleteDatabaseFiles(folder.path(), u"Notizen"_s);
    EXPECT_FALSE(folder.exists(u"Datenbank/Notizen.DAT"_s));
    EXPECT_FALSE(folder.exists(u"Datenbank/NOTIZEN_utf8dokument.TXT"_s));

    const QStringList archiv {u"Datenbank/Archiv.dat"_s, u"Datenbank/Archiv_UTF8Dokument.txt"_s,
                              u"Datenbank/Suchwoerterlisten/Archiv_Gesamt_OhneDB_Suchwoerterliste.txt"_s,
                              u"Datenbank/archiv_MHTtext.txt"_s}; // a third spelling: nobody's to delete
    for (const QString &f : archiv)
        folder.write(f, "x");
    folder.write(u"Datenbank/ARCHIV.dat"_s, "x");
    folder.write(u"Datenbank/ARCHIV_utf8dokument.TXT"_s, "x"); // its own name, the suffix in other case
    EXPECT_EQ(app::deleteDatabaseFiles(folder.path(), u"ARCHIV"_s),
              (QStringList {folder.file(u"Datenbank/ARCHIV.dat"_s), folder.file(u"Datenbank/ARCHIV_utf8dokument.TXT"_s)}));
    for (const QString &f : archiv)
        EXPECT_TRUE(folder.exists(f)) << f.toStdString();
}
