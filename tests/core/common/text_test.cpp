#include "core/common/text.h"

#include <gtest/gtest.h>

using namespace vespira::text;

TEST(TrimControl, RemovesControlCharactersButKeepsNoBreakSpace)
{
    EXPECT_EQ(trimControl(QString::fromUtf16(u"\u0001\t Haus \r\n")), QStringLiteral("Haus"));
    EXPECT_EQ(trimControl(QString::fromUtf16(u"\u00A0Haus\u00A0")), QString::fromUtf16(u"\u00A0Haus\u00A0"));
    EXPECT_EQ(trimControl(QStringLiteral("   ")), QString());
    EXPECT_EQ(trimControlLeft(QStringLiteral(" \ta b ")), QStringLiteral("a b "));
}

TEST(Ansi, LowerCaseTableCoversWindows1252Letters)
{
    EXPECT_EQ(ansiLower('A'), 'a');
    EXPECT_EQ(ansiLower(0xC4), 0xE4); // Ä
    EXPECT_EQ(ansiLower(0xD7), 0xD7); // × has no partner
    EXPECT_EQ(ansiLower(0xDE), 0xFE); // Þ
    EXPECT_EQ(ansiLower(0xDF), 0xDF); // ß stays
    EXPECT_EQ(ansiLower(0x8A), 0x9A); // Š
    EXPECT_EQ(ansiLower(0x9F), 0xFF); // Ÿ
    EXPECT_EQ(ansiLower('1'), '1');
}

TEST(Ansi, RoundTripsWindows1252)
{
    const QByteArray bytes("\xC4rger \x80", 7);
    EXPECT_EQ(fromAnsi(bytes), QString::fromUtf16(u"Ärger €"));
    EXPECT_EQ(toAnsi(QString::fromUtf16(u"Ärger €")), bytes);
}
