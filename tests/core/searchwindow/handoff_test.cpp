#include "core/searchwindow/collectedload.h"
#include "core/searchwindow/handoff.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::searchwindow;
using app::DocumentKind;

TEST(HandOff, ReadLeavesTheFileTakeDeletesItAndPrefersTheTextReadBefore)
{
    test::TempProgramFolder folder;
    const QString control = folder.file(u"steuer/"_s);
    EXPECT_FALSE(readHandOffText(control));
    EXPECT_FALSE(readHandOffText(QString())); // no control folder: not the working folder
    EXPECT_FALSE(takeHandOffText(control, u"alt"_s));

    folder.write(u"steuer/Datenbank/Suchtext.txt"_s, QByteArray("\xFF\xFEH\0\xE4\0u\0s\0", 10));
    EXPECT_EQ(readHandOffText(control), u"Häus"_s);
    EXPECT_TRUE(folder.exists(u"steuer/Datenbank/Suchtext.txt"_s));
    EXPECT_EQ(takeHandOffText(control, u"vorher"_s), u"vorher"_s);
    EXPECT_FALSE(folder.exists(u"steuer/Datenbank/Suchtext.txt"_s));

    folder.write(u"steuer/Datenbank/Suchtext.txt"_s, "\xEF\xBB\xBF" "Stra\xC3\x9F" "e");
    EXPECT_EQ(takeHandOffText(control, QString()), u"Straße"_s);
}

TEST(CollectedLoad, AKindLoadsFromFourBytesOnAndOnlyWithADatabase)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, "abcd");
    folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, "\xFF\xFE" "a");
    EXPECT_TRUE(collectedTextLoadable(folder.path(), u"Archiv"_s, DocumentKind::Utf8));
    EXPECT_FALSE(collectedTextLoadable(folder.path(), u"Archiv"_s, DocumentKind::Mht));
    EXPECT_FALSE(collectedTextLoadable(folder.path(), u"Archiv"_s, DocumentKind::Ansi));
    EXPECT_FALSE(collectedTextLoadable(folder.path(), QString(), DocumentKind::Utf8));
}

TEST(CollectedLoad, TheByteOrderMarkDecidesTheModeAndTheEmptyCaption)
{
    test::TempProgramFolder folder;
    const struct
    {
        QByteArray bytes;
        DocumentKind kind;
        bool utf16;
        QString caption;
    } cases[] = {
        {"\xFF\xFE", DocumentKind::Mht, true, u"Unicode-Dokument enthält keine Einträge:"_s},
        {"\xFE\xFF" "a", DocumentKind::Mht, true, u"Unicode-Dokument enthält keine Einträge:"_s},
        {"\xEF\xBB\xBF", DocumentKind::Mht, false, u"Dokument enthält keine Einträge:"_s},
        {"abc", DocumentKind::Mht, false, QString()},
        {"abc", DocumentKind::Utf8, false, u"UTF8-Dokument enthält keine Einträge:"_s},
        {"", DocumentKind::Ansi, false, u"ANSI-Dokument enthält keine Einträge:"_s},
        {"\xFF\xFE" "ab", DocumentKind::Mht, true, QString()},
    };
    for (const auto &c : cases) {
        folder.write(u"f.txt"_s, c.bytes);
        const CollectedTextHead head = readCollectedTextHead(folder.file(u"f.txt"_s));
        EXPECT_TRUE(head.opened);
        EXPECT_EQ(head.utf16, c.utf16) << c.bytes.toHex().toStdString();
        EXPECT_EQ(emptyCollectedTextCaption(c.kind, head), c.caption) << c.bytes.toHex().toStdString();
    }
    EXPECT_FALSE(readCollectedTextHead(folder.file(u"fehlt.txt"_s)).opened);
}
