#include "core/searchwindow/searchbar.h"
#include "core/searchwindow/titledisplay.h"

#include "support/tempdir.h"
#include "support/textdata.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::searchwindow;

namespace {

// What the bar ends with once every write-back has run the handling again.
QString cleaned(QString text)
{
    while (const auto next = tagRemnantWriteBack(text))
        text = *next;
    return text;
}

} // namespace

TEST(TagRemnants, CleanUpOfTextCopiedFromHtml)
{
    EXPECT_EQ(cleaned(u"/><Haus>"_s), u"Haus"_s);
    EXPECT_EQ(cleaned(u"<b>Haus"_s), u"b"_s);
    EXPECT_EQ(cleaned(u"Haus /"_s), u"Haus"_s);
    EXPECT_EQ(cleaned(u"Haus<br>"_s), u"Haus"_s);
    EXPECT_EQ(tagRemnantWriteBack(u"a/b/"_s), std::nullopt);
    // A trailing blank typed between two words is no remnant and stays in the bar.
    EXPECT_EQ(tagRemnantWriteBack(u"Haus "_s), std::nullopt);
    EXPECT_EQ(tagRemnantWriteBack(u"#C:\\Daten\\Brief.txt"_s), std::nullopt);
}

TEST(TagRemnants, OptionsFollowBlanksAndTabs)
{
    EXPECT_TRUE(choosesPhrase(u"Haus Maus"_s));
    EXPECT_TRUE(choosesPhrase(u"Haus\tMaus"_s));
    EXPECT_FALSE(choosesPhrase(u"Haus"_s));
}

TEST(PathShortcut, RecognisedOnlyWithDriveLetterColonBackslash)
{
    EXPECT_TRUE(isPathShortcut(u"#C:\\Daten\\Brief.txt"_s));
    EXPECT_FALSE(isPathShortcut(u"C:\\Daten\\Brief.txt"_s));
    EXPECT_FALSE(isPathShortcut(u"#C:/Daten"_s));
    EXPECT_FALSE(isPathShortcut(u"#"_s));
    EXPECT_TRUE(hasFileExtension(u":\\Daten\\Brief.txt"_s));
    EXPECT_FALSE(hasFileExtension(u":\\Daten.alt\\Brief"_s));
}

TEST(PathShortcut, FoundUnderAnotherDriveLetterTheLastOneWins)
{
    test::TempProgramFolder folder;
    folder.write(u"e/Daten/Brief.txt"_s, "E");
    folder.write(u"g/Daten/Brief.txt"_s, "G");
    folder.write(u"c/Daten/Brief.txt"_s, "C");
    const QString root = folder.path();
    DocPathMapper mapper([&](const QString &name) -> QString {
        if (name == u"Laufwerk_C"_s) return root + u"c/"_s;
        if (name == u"Laufwerk_E"_s) return root + u"e/"_s;
        if (name == u"Laufwerk_G"_s) return root + u"g/"_s;
        return {};
    });
    const PathShortcut p = resolvePathShortcut(u"#C:\\Daten\\Brief.txt"_s, root, mapper);
    EXPECT_EQ(p.typed, u"C:\\Daten\\Brief.txt"_s);
    EXPECT_FALSE(p.missingExtension);
    // C is not tried by the letter search while E and G hold the file: G comes last.
    EXPECT_EQ(p.nativeFile, root + u"g/Daten/Brief.txt"_s);

    // Only as typed.
    const PathShortcut typed = resolvePathShortcut(u"#C:\\Daten\\Brief.txt"_s, root,
        DocPathMapper([&](const QString &name) { return name == u"Laufwerk_C"_s ? root + u"c/"_s : QString(); }));
    EXPECT_EQ(typed.nativeFile, root + u"c/Daten/Brief.txt"_s);

    // Under the program folder, when no drive holds it.
    folder.write(u"Hilfe/Brief.txt"_s, "P");
    EXPECT_EQ(resolvePathShortcut(u"#X:\\Hilfe\\Brief.txt"_s, root, DocPathMapper()).nativeFile,
              root + u"Hilfe/Brief.txt"_s);

    const PathShortcut none = resolvePathShortcut(u"#C:\\Daten\\Fehlt"_s, root, mapper);
    EXPECT_TRUE(none.missingExtension);
    EXPECT_TRUE(none.nativeFile.isEmpty());
    EXPECT_EQ(notFoundText(none.typed), u"C:\\Daten\\Fehlt\nwurde nicht gefunden."_s);
    EXPECT_TRUE(missingExtensionText(none.withoutLetter).startsWith(u"?:\\Daten\\Fehlt\n hat keine Dateiendung.\n"_s));
}

TEST(TitleDisplay, WalkAtBlockStartsAndBelowTheFirstOffset)
{
    const QList<db::TitlePositions::Entry> entries {
        {100, u"C:\\a.htm"_s}, {200, u"C:\\b.htm"_s}, {300, u""_s}, {400, u"C:\\d.htm"_s}};
    EXPECT_EQ(titleAt(entries, 99), std::nullopt);
    EXPECT_EQ(titleAt(entries, 100), u"C:\\a.htm"_s);
    EXPECT_EQ(titleAt(entries, 199), u"C:\\a.htm"_s);
    // The view stands on the second document's marker line: its title, not the one before.
    EXPECT_EQ(titleAt(entries, 200), u"C:\\b.htm"_s);
    EXPECT_EQ(titleAt(entries, 350), std::nullopt);
    EXPECT_EQ(titleAt(entries, 1'000'000), u"C:\\d.htm"_s);
    EXPECT_EQ(titleAt({}, 5), std::nullopt);
}

TEST(TitleDisplay, CaptionIsGroupedAndShortenedInStepsOfSeven)
{
    {
        const test::GermanLocale locale;
        EXPECT_EQ(titleCaption(1234567, std::nullopt), u"1.234.567"_s);
        EXPECT_EQ(titleCaption(5, u"a.htm"_s), u"5  \"a.htm\""_s);
    }

    const auto longerThan = [](int n) { return [n](const QString &s) { return s.size() > n; }; };
    EXPECT_EQ(shortenCaption(u"0123456789abcdef"_s, longerThan(10)), u"012345678..."_s);
    EXPECT_EQ(shortenCaption(u"short"_s, longerThan(10)), u"short"_s);
    // Never fits: ends once the caption is empty.
    EXPECT_EQ(shortenCaption(u"0123456789"_s, [](const QString &) { return true; }), u"..."_s);
}

TEST(TitleDisplay, SelectionAfterReloadFollowsTheFirstLine)
{
    EXPECT_EQ(restoredSelectionStart(u"Zeile 1"_s, 3, u"Zeile 1 und mehr"_s), 3);
    EXPECT_EQ(restoredSelectionStart(u"Zeile 1"_s, 3, u"anders"_s), 10); // one line further down
}
