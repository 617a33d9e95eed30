#include "core/app/busyticks.h"
#include "core/app/colortext.h"

#include "support/printers.h"

#include <gtest/gtest.h>

using namespace vespira::app;
using namespace Qt::Literals::StringLiterals;

TEST(ColorText, ParsesNamesNumbersAndHex)
{
    EXPECT_EQ(color::parseColorText(u"clHighlight"_s), color::clHighlight);
    EXPECT_EQ(color::parseColorText(u" CLWHITE "_s), color::clWhite);
    EXPECT_EQ(color::parseColorText(u"clRed"_s), color::fromRgb(255, 0, 0));
    EXPECT_EQ(color::parseColorText(u"16777215"_s), color::clWhite);
    EXPECT_EQ(color::parseColorText(u"$00FF0000"_s), color::fromRgb(0, 0, 255));
    EXPECT_EQ(color::parseColorText(u"$BBBBBB"_s), 0xBBBBBB);
    // System colours come as negative numbers or as their unsigned hex.
    EXPECT_EQ(color::parseColorText(u"-16777203"_s), color::clHighlight);
    EXPECT_EQ(color::parseColorText(u"$FF00000D"_s), color::clHighlight);
}

TEST(ColorText, RejectsWhatNamesNoColour)
{
    for (const QString &bad : {u""_s, u"rot"_s, u"$"_s, u"$-1"_s, u"$GG"_s, u"$1FF000000"_s, u"16777216"_s,
                              u"12abc"_s, u"-1"_s, u"$FF000019"_s, u"$FF0000FF"_s, u"clNone"_s})
        EXPECT_FALSE(color::parseColorText(bad).has_value()) << bad.toStdString();
}

TEST(ColorText, FormatsNamesOrHexAndRoundTrips)
{
    EXPECT_EQ(color::formatColorText(color::clHighlight), u"clHighlight"_s);
    EXPECT_EQ(color::formatColorText(color::clWhite), u"clWhite"_s);
    EXPECT_EQ(color::formatColorText(0x123456), u"$00123456"_s);
    for (const color::ColorNumber c : {0x000001, 0xBBBBBB, 0xC0C0C0, color::clWindow, color::clBtnFace})
        EXPECT_EQ(color::parseColorText(color::formatColorText(c)), c);
    EXPECT_TRUE(color::isSystemColor(color::clHighlight));
    EXPECT_FALSE(color::isSystemColor(color::clWhite));
    EXPECT_EQ(color::systemColorIndex(color::clHighlight), color::SystemColor::Highlight);
}

TEST(ColorText, SelectedEntryIsDarkenedTo93PercentTruncated)
{
    EXPECT_EQ(color::darkened(255), 237);
    EXPECT_EQ(color::darkened(14), 13);
}

TEST(BusyTicks, CyclesFiveGrowingRowsAndOneEmptySecond)
{
    BusyTicks ticks;
    const QStringList expected {u"°"_s, u"° °"_s, u"° ° °"_s, u"° ° ° °"_s, u"° ° ° ° °"_s, u""_s, u"°"_s};
    for (const QString &text : expected)
        EXPECT_EQ(ticks.tick(), text);
    EXPECT_EQ(ticks.counter(), 1);
    EXPECT_EQ(busyLabelLeft(600, 75), 617);
}
