#include "core/app/restoredefaults.h"
#include "core/app/shutdown.h"
#include "core/app/startup.h"

#include "support/guicontext.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

TEST(Startup, FirstStartWritesTheTwelveValuesInOrder)
{
    test::TestContext t;
    const app::WindowSizes sizes = app::prepareStart(t.context);

    EXPECT_EQ(t.settings.writes(),
              (QStringList {u"Ausgewaehlte_Datenbank=-1"_s, u"Themen-Webseite=0"_s, u"Ausgewaehlte_Webseite=0"_s,
                            u"Farbe=clHighlight"_s, u"HinweistextFarbe=clWhite"_s, u"Hoehe=420"_s, u"Weite=700"_s,
                            u"SHoehe=500"_s, u"SWeite=900"_s, u"Browser=standard"_s,
                            u"Suchwort_in_Zwischenablage_kopieren=1"_s, u"Kurzhinweis_imViewer_anzeigen=1"_s}));
    EXPECT_EQ(t.settings.values.size(), 12); // no font size

    EXPECT_EQ(sizes.height, 420);
    EXPECT_EQ(sizes.width, 700);
    EXPECT_EQ(sizes.searchHeight, 500);
    EXPECT_EQ(sizes.searchWidth, 900);
    EXPECT_EQ(t.context.state.colorText, u"clHighlight"_s);
    EXPECT_EQ(t.context.state.noticeColorText, u"clWhite"_s);
    EXPECT_EQ(app::viewerFontSize(t.context.settings), 10);
}

TEST(Startup, LaterStartWritesNothingAndFallsBackPerValue)
{
    test::TestContext t;
    t.settings.values.insert(u"Ausgewaehlte_Datenbank"_s, u"2"_s);
    t.settings.values.insert(u"Weite"_s, u"1000"_s);
    t.settings.values.insert(u"SHoehe"_s, u"kaputt"_s); // not a number: as if missing
    const app::WindowSizes sizes = app::prepareStart(t.context);
    EXPECT_TRUE(t.settings.writeOrder.isEmpty());
    EXPECT_EQ(sizes.height, 506);
    EXPECT_EQ(sizes.width, 1000);
    EXPECT_EQ(sizes.searchHeight, 500);
    EXPECT_EQ(sizes.searchWidth, 900);
}

TEST(Startup, DefaultWidthFollowsSmallScreensOnlyAfterTheFirstStartValues)
{
    for (const auto &[screen, expected] : {std::pair {800, 800}, std::pair {1024, 1024}, std::pair {1280, 900}}) {
        test::TestContext t;
        t.system.width = screen;
        app::prepareStart(t.context); // first start: SWeite written before the screen is asked
        EXPECT_EQ(t.settings.values.value(u"SWeite"_s), u"900"_s) << screen;

        t.settings.values.remove(u"Weite"_s);
        t.settings.values.remove(u"SWeite"_s);
        const app::WindowSizes sizes = app::prepareStart(t.context);
        EXPECT_EQ(sizes.width, expected) << screen;
        EXPECT_EQ(sizes.searchWidth, expected) << screen;
    }
}

TEST(Startup, CreatesDataFoldersAndWarnsForEachThatCannotBeMade)
{
    test::TestContext t;
    QDir(t.folder.path()).removeRecursively();
    QDir().mkpath(t.folder.path());
    app::prepareStart(t.context);
    EXPECT_TRUE(QDir(t.folder.file(u"Datenbank/Suchwoerterlisten"_s)).exists());
    EXPECT_TRUE(QDir(t.folder.file(u"Datenbank/Temp"_s)).exists());
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
    EXPECT_EQ(t.context.state.adressenPath, t.folder.file(u"Adressen_Webseiten.txt"_s));

    const QString missing = t.folder.file(u"fehlt/"_s);
    app::createDataFolders(missing, t.dialogs);
    EXPECT_EQ(t.dialogs.log(), (QStringList {u"warning: Kann das Verzeichnis "_s + missing + u"Datenbank nicht anlegen!"_s,
                                             u"warning: Kann das Verzeichnis "_s + missing
                                                 + u"Datenbank/Suchwoerterlisten nicht anlegen!"_s,
                                             u"warning: Kann das Verzeichnis "_s + missing
                                                 + u"Datenbank/Temp nicht anlegen!"_s}));
}

TEST(Startup, ControlFolderIsActiveWhenContainedIgnoringCase)
{
    const auto active = app::controlFolderState(u"/Tools/"_s, u"/tools/suche/"_s);
    EXPECT_TRUE(active.active);
    EXPECT_EQ(active.folder, u"/Tools/"_s);

    const auto elsewhere = app::controlFolderState(u"/andere/"_s, u"/tools/suche/"_s);
    EXPECT_FALSE(elsewhere.active);
    EXPECT_EQ(elsewhere.folder, u"/andere/"_s); // kept although inactive

    EXPECT_FALSE(app::controlFolderState(QString(), u"/tools/suche/"_s).active);

    test::TestContext t;
    t.settings.values.insert(u"Vespira_Control"_s, t.folder.path().toUpper());
    app::prepareStart(t.context);
    EXPECT_TRUE(t.context.state.controlFolderActive);
}

TEST(Startup, ViewerFontSizeIgnoresUnusableValues)
{
    test::TestContext t;
    t.settings.values.insert(u"SchriftsizeTextViewer"_s, u"14"_s);
    EXPECT_EQ(app::viewerFontSize(t.context.settings), 14);
    for (const QString &bad : {u"0"_s, u"-3"_s, u"groß"_s, u"100000"_s}) {
        t.settings.values.insert(u"SchriftsizeTextViewer"_s, bad);
        EXPECT_EQ(app::viewerFontSize(t.context.settings), 10) << bad.toStdString();
    }
}

TEST(Closing, WritesSelectionSizesAndFontInOrder)
{
    test::TestContext t;
    app::writeBackOnClose(t.context.settings, {.selectedIndex = -1, .entryCount = 2, .viewerFontSize = 12,
                                               .height = 480, .width = 800, .searchHeight = 600, .searchWidth = 1000});
    EXPECT_EQ(t.settings.writes(),
              (QStringList {u"Ausgewaehlte_Datenbank=0"_s, u"Farbe=clHighlight"_s, u"SchriftsizeTextViewer=12"_s,
                            u"Hoehe=480"_s, u"Weite=800"_s, u"SHoehe=600"_s, u"SWeite=1000"_s}));
    EXPECT_EQ(app::selectedIndexText(-1, 0), u"-1"_s);
    EXPECT_EQ(app::selectedIndexText(1, 2), u"1"_s);
}

TEST(Closing, KeepsAGoodColourAndTheMaximisedSearchWindowsSizeAndNoPixelFont)
{
    test::TestContext t;
    t.settings.values.insert(u"Farbe"_s, u"$00BBBBBB"_s);
    t.settings.values.insert(u"SHoehe"_s, u"555"_s);
    t.settings.values.insert(u"SWeite"_s, u"777"_s);
    const app::CloseValues v {.selectedIndex = 1, .entryCount = 3, .viewerFontSize = -1, // a font given in pixels
                              .searchWindowMaximised = true, .searchHeight = 1080, .searchWidth = 1920};
    app::writeBackOnClose(t.context.settings, v);
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"$00BBBBBB"_s);
    EXPECT_EQ(t.settings.values.value(u"SHoehe"_s), u"555"_s);
    EXPECT_EQ(t.settings.values.value(u"SWeite"_s), u"777"_s);
    EXPECT_FALSE(t.settings.values.contains(u"SchriftsizeTextViewer"_s));

    t.settings.values.insert(u"Farbe"_s, u"lila"_s); // not a colour: replaced like a missing one
    app::writeBackOnClose(t.context.settings, v);
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"clHighlight"_s);
}

TEST(Closing, EmptiesTheTempFolderOnly)
{
    test::TestContext t;
    t.folder.write(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s, "x");
    t.folder.write(u"Datenbank/Temp/ZipTemp/a.txt"_s, "x");
    t.folder.write(u"Datenbank/Archiv.dat"_s, "x");
    app::emptyTempFolder(t.folder.path());
    EXPECT_TRUE(QDir(t.folder.file(u"Datenbank/Temp"_s)).isEmpty());
    EXPECT_TRUE(t.folder.exists(u"Datenbank/Temp"_s));
    EXPECT_TRUE(t.folder.exists(u"Datenbank/Archiv.dat"_s));
}

TEST(SharedFiles, InstalledManualAndAddressesReachTheProgramFolderWithoutOverwritingEdits)
{
    test::TempProgramFolder shared;
    test::TempProgramFolder program;
    const QString manual = u"Vespira_HTML_Light.pdf"_s;
    const QString addresses = u"Adressen_Webseiten.txt"_s;

    app::provideSharedFiles(program.path(), shared.path()); // nothing installed: nothing happens
    EXPECT_FALSE(program.exists(manual));

    shared.write(manual, "%PDF neu");
    shared.write(addresses, "[Themen1]\r\n");
    app::provideSharedFiles(program.path(), shared.path());
    EXPECT_EQ(program.read(manual), "%PDF neu");
    EXPECT_EQ(program.read(addresses), "[Themen1]\r\n");

    // The user's own addresses stay; an older manual gives way to the newer installed one.
    program.write(addresses, "[Themen1]\r\nListe=Eigene\r\n");
    program.write(manual, "%PDF alt");
    const auto age = [](const QString &path, int days) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-days), QFileDevice::FileModificationTime));
    };
    age(program.file(manual), 2);
    age(program.file(addresses), 2);
    app::provideSharedFiles(program.path(), shared.path());
    EXPECT_EQ(program.read(manual), "%PDF neu");
    EXPECT_EQ(program.read(addresses), "[Themen1]\r\nListe=Eigene\r\n");
    EXPECT_EQ(QDir(program.path()).entryList(QDir::Files), (QStringList {addresses, manual}));
}

// Screens narrower than the designed width make the search window as wide as the screen.
TEST(RestoreDefaults, WritesTheSevenValuesInOrderAndFollowsTheScreen)
{
    for (const auto &[screen, width] : {std::pair {1280, 900}, std::pair {0, 900}, std::pair {800, 800}}) {
        test::TestContext t;
        t.context.state.colorText = u"$00010203"_s;
        const app::RestoredDefaults defaults = app::restoreDefaults(t.context.settings, t.context.state, screen);
        EXPECT_EQ(t.settings.writes(),
                  (QStringList {u"Farbe=clHighlight"_s, u"SchriftsizeTextViewer=10"_s, u"Hoehe=420"_s, u"Weite=700"_s,
                                u"SHoehe=500"_s, u"SWeite=%1"_s.arg(width), u"HinweistextFarbe=clWhite"_s}))
            << screen;
        EXPECT_EQ(defaults.searchWidth, width);
        EXPECT_EQ(t.context.state.colorText, u"clHighlight"_s);
        EXPECT_EQ(t.context.state.noticeColorText, u"clWhite"_s);
    }
}
