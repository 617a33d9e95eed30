#include "core/common/error.h"
#include "core/searchwindow/viewermodel.h"
#include "support/tempdir.h"
#include "support/textdata.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::searchwindow;

namespace {

class ViewerModelTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes, const QString &name = u"text.txt"_s) { return m_folder.write(name, bytes); }

    static QStringList texts(const QList<ViewLine> &lines)
    {
        QStringList out;
        for (const ViewLine &l : lines)
            out << l.text;
        return out;
    }

    vespira::test::TempProgramFolder m_folder;
};

TEST_F(ViewerModelTest, EmptyAndOneByteUnicodeFilesShowNothingAndDoNotScroll)
{
    const QString empty = write({}, u"empty.txt"_s);
    const QString oneByte = write("A", u"one.txt"_s);
    for (const auto &[path, mode] : {std::pair {empty, ViewerMode::vbmodeText},
                                     std::pair {empty, ViewerMode::vbmodeUnicode},
                                     std::pair {oneByte, ViewerMode::vbmodeUnicode}}) {
        ViewerModel m;
        m.setMode(mode);
        ASSERT_TRUE(m.open(path));
        m.setPageLines(10);
        EXPECT_TRUE(m.visibleLines(10).isEmpty());
        EXPECT_FALSE(m.readFailed());
        EXPECT_TRUE(m.wholeTextFits());
        EXPECT_EQ(m.scrollMaximum(), 0);
        EXPECT_FALSE(m.scrollLines(3, true) || m.scrollPage(true) || m.scrollToOffset(500) || m.scrollToEnd());
        EXPECT_EQ(m.viewPosition(), 0);
        m.selectLine(0);
        EXPECT_TRUE(m.copyText(MirrorMode::Utf16).isEmpty());
    }
}

TEST_F(ViewerModelTest, LineBreaksTabsAndWrap)
{
    ViewerModel m;
    // CR LF and LF CR are one break each, two LFs are two.
    ASSERT_TRUE(m.open(write("a\r\nb\n\rc\rd\n\ne\n")));
    EXPECT_EQ(texts(m.visibleLines(20)), (QStringList {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u""_s, u"e"_s}));

    // Every blank of a tab maps to the tab byte; a control character shows as a blank.
    ASSERT_TRUE(m.open(write("ab\tc\x01", u"tab.txt"_s)));
    const ViewLine line = m.layoutLine(0);
    EXPECT_EQ(line.text, u"ab      c "_s);
    EXPECT_EQ(line.offsets, (QList<int> {0, 1, 2, 2, 2, 2, 2, 2, 3, 4, 5}));

    // The wrap counts the tab's columns: it would reach column 16.
    ASSERT_TRUE(m.open(write("abcdefghi\tj", u"wrap.txt"_s)));
    m.setWrapWidth(10);
    EXPECT_EQ(texts(m.visibleLines(5)), (QStringList {u"abcdefghi"_s, u"        j"_s}));
}

TEST_F(ViewerModelTest, ScrollToOffsetInsideALineShowsThatLineFromItsStart)
{
    ViewerModel m;
    ASSERT_TRUE(m.open(write("first\r\nsecond line\r\nthird\r\nfourth\r\n")));
    m.setPageLines(2);
    m.scrollToOffset(10); // in "second line"
    EXPECT_EQ(m.viewPosition(), 7);
    EXPECT_EQ(m.visibleLines(1).value(0).text, u"second line"_s);
    // the CR and the LF of a line's break belong to that line
    m.scrollToOffset(19);
    EXPECT_EQ(m.viewPosition(), 7);
    m.scrollToOffset(20);
    EXPECT_EQ(m.viewPosition(), 20);
    // at or beyond the last position: the last page
    m.scrollToOffset(1000);
    EXPECT_EQ(m.visibleLines(2).value(0).text, u"third"_s);
}

TEST_F(ViewerModelTest, LongLineIsBrokenAndSelectedEvery2048CharactersEvenWithoutWrap)
{
    QByteArray bytes(5000, 'x');
    bytes += "\nend";
    ViewerModel m;
    ASSERT_TRUE(m.open(write(bytes)));
    m.setPageLines(2);
    const auto lines = m.visibleLines(10);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].text.size(), 2048);
    EXPECT_EQ(lines[1].start, 2048);
    EXPECT_EQ(lines[2].text.size(), 5000 - 4096);
    EXPECT_TRUE(lines[2].hardBreak);
    EXPECT_FALSE(lines[0].hardBreak);
    EXPECT_EQ(lines[3].text, u"end"_s);
    // The logical line is cut 2048 bytes each way; a short one is the viewer's test (Ctrl+C).
    m.selectLine(2500);
    EXPECT_EQ(m.selectionStart(), 2500 - 2048);
    EXPECT_EQ(m.selectionLength(), 4096);

    m.scrollToOffset(3000);
    EXPECT_EQ(m.viewPosition(), 2048);

    m.setWrapWidth(80);
    m.scrollToStart();
    EXPECT_EQ(m.visibleLines(1).value(0).text.size(), 80);
    m.scrollToOffset(4999);
    EXPECT_EQ(m.viewPosition(), 4960);
}

TEST_F(ViewerModelTest, UnicodeModeReadsUtf16AndCoversOddSelections)
{
    ViewerModel m;
    m.setMode(ViewerMode::vbmodeUnicode);
    ASSERT_TRUE(m.open(write(vespira::test::utf16le(u"Ab\r\nÄx\u20ACz"_s) + QByteArray("\x41", 1))));
    const auto lines = m.visibleLines(5);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].text, u"Ab"_s); // the byte-order mark is no character
    EXPECT_EQ(lines[1].text, u"Äx\u20ACz"_s);
    EXPECT_EQ(lines[1].start, 10);
    EXPECT_EQ(m.textSize(), 18); // the trailing odd byte is no character

    // an odd start covers the characters it touches
    ASSERT_TRUE(m.setSelection(13, 2, false));
    EXPECT_EQ(m.selectedText(), u"x\u20AC"_s);
    EXPECT_TRUE(m.isSelected(12));
    EXPECT_TRUE(m.isSelected(14));
    EXPECT_FALSE(m.isSelected(16));
    m.scrollToOffset(13);
    EXPECT_EQ(m.viewPosition(), 10);

    // Over to 8-bit characters and back: the line after the break is still the first.
    m.setMode(ViewerMode::vbmodeText);
    m.setMode(ViewerMode::vbmodeUnicode);
    EXPECT_EQ(m.viewPosition(), 10);
}

TEST_F(ViewerModelTest, SetSelectionRejectsBadArgumentsAndScrollsWithIndent)
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes += "line " + QByteArray::number(i) + "\n";
    ViewerModel m;
    ASSERT_TRUE(m.open(write(bytes)));
    m.setPageLines(10);

    EXPECT_FALSE(m.setSelection(-1, 3, true));
    EXPECT_FALSE(m.setSelection(3, -1, true));
    EXPECT_FALSE(m.setSelection(bytes.size() + 1, 1, true));
    EXPECT_EQ(m.selectionLength(), 0);

    const qint64 line20 = bytes.indexOf("line 20");
    ASSERT_TRUE(m.setSelection(line20 + 2, 1000000, true));
    EXPECT_EQ(m.selectionLength(), bytes.size() - line20 - 2);
    EXPECT_EQ(m.visibleLines(1).value(0).text, u"line 15"_s);

    ASSERT_TRUE(m.setSelection(bytes.indexOf("line 2\n"), 4, true));
    EXPECT_EQ(m.viewPosition(), 0);
}

TEST_F(ViewerModelTest, CopyDecodesByMirrorModeAndBlanksNul)
{
    ViewerModel m;
    ASSERT_TRUE(m.open(write(QByteArray("a\0\xC3\xA4", 4))));
    m.selectAll();
    EXPECT_EQ(m.copyText(MirrorMode::Utf8), u"a ä"_s);
    EXPECT_EQ(m.copyText(MirrorMode::Ansi), u"a Ã¤"_s);

    ViewerModel u;
    u.setMode(ViewerMode::vbmodeUnicode);
    ASSERT_TRUE(u.open(write(vespira::test::utf16le(u"x"_s + QChar(0) + u"ä"_s, false), u"u.txt"_s)));
    u.selectAll();
    // a UTF-16 file stays UTF-16 whatever the mirror mode
    EXPECT_EQ(u.copyText(MirrorMode::Utf8), u"x ä"_s);
}

TEST_F(ViewerModelTest, ThreeByteUtf8CharacterShowsWholeInTheMirrorEvenWhenWrapCutsIt)
{
    const QByteArray bytes = "ab\xE2\x82\xAC" "cd";
    ViewerModel m;
    ASSERT_TRUE(m.open(write(bytes)));
    const ViewLine painted = m.visibleLines(1).value(0);
    EXPECT_EQ(painted.text, u"ab\u00E2\u201A\u00ACcd"_s); // the viewer paints three characters
    MirrorLines whole(MirrorMode::Utf8);
    EXPECT_EQ(whole.take(m.lineBytes(painted), painted.text, false), u"ab\u20ACcd"_s);

    m.setWrapWidth(3);
    const auto lines = m.visibleLines(5);
    ASSERT_EQ(lines.size(), 3);
    MirrorLines mirror(MirrorMode::Utf8);
    QStringList out;
    for (const ViewLine &l : lines)
        out << mirror.take(m.lineBytes(l), l.text, !l.hardBreak);
    EXPECT_EQ(out, (QStringList {u"ab"_s, u"\u20ACc"_s, u"d"_s}));
}

TEST(MirrorConversion, AnsiIsLenientUtf8AndUtf8BlanksTwoMarks)
{
    EXPECT_EQ(mirrorFromAnsi("K\xC3\xA4se \xE4 \xE2\x82\xAC"), u"Käse ä €"_s);
    // an overlong or surrogate form is no valid sequence: its bytes stand for themselves
    EXPECT_EQ(mirrorFromAnsi("\xE0\x80\x80"), u"\u00E0\u0080\u0080"_s);
    EXPECT_EQ(mirrorFromAnsi("\xF0\x9F\x98\x80"), u"\u00F0\u009F\u0098\u0080"_s);
    EXPECT_EQ(mirrorFromUtf8("a\xE0\xB0\x80" "b\xE0\xB1\x8D" "c"), u"a b c"_s);
    EXPECT_EQ(incompleteUtf8Tail("ab\xE2\x82"), 2);
    EXPECT_EQ(incompleteUtf8Tail("ab\xE2\x82\xAC"), 0);
    EXPECT_EQ(incompleteUtf8Tail("\xC3"), 1);
}

TEST_F(ViewerModelTest, ScrollBarHasAtMost32767StepsAndItsEndsMeetTheFileEnds)
{
    const auto rows = [](int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "row " + QByteArray::number(i) + "\r\n";
        return bytes;
    };
    // 10,000 rows: the last page starts at byte 98,790, more steps than the bar can take.
    ViewerModel big;
    ASSERT_TRUE(big.open(write(rows(10000), u"big.txt"_s)));
    big.setPageLines(10);
    EXPECT_EQ(big.scrollMaximum(), 32767);
    big.scrollToValue(32767);
    EXPECT_EQ(big.visibleLines(10).value(9).text, u"row 9999"_s);
    EXPECT_EQ(big.scrollValue(), 32767);
    big.scrollToValue(16384); // byte 49,396, in row 5050
    EXPECT_EQ(big.visibleLines(1).value(0).text, u"row 5050"_s);

    // 100 rows: one step a byte up to the last page, which starts at byte 710.
    ViewerModel m;
    ASSERT_TRUE(m.open(write(rows(100))));
    m.setPageLines(10);
    const int max = m.scrollMaximum();
    EXPECT_EQ(max, 710);
    m.scrollToValue(max);
    EXPECT_EQ(m.visibleLines(10).value(9).text, u"row 99"_s);
    m.scrollLines(1, true); // the last page does not scroll further
    EXPECT_EQ(m.visibleLines(1).value(0).text, u"row 90"_s);
    m.scrollToValue(355); // byte 355 lies in "row 45", which starts at 350
    EXPECT_EQ(m.viewPosition(), 350);
    for (int page = 0; page < 6; ++page)
        m.scrollPage(false);
    EXPECT_EQ(m.viewPosition(), 0);
}

TEST_F(ViewerModelTest, AFileThatShrankShowsWhatIsStillThere)
{
    QByteArray text;
    for (int i = 0; i < 262144; ++i)
        text += "Zeile " + QByteArray::number(i).rightJustified(8, '0') + "\r\n"; // 16 bytes each
    const QString path = write(text);
    ViewerModel m;
    ASSERT_TRUE(m.open(path));
    // Cut after line 124999 and 8 bytes of the next, outside the buffer read at the open.
    ASSERT_TRUE(QFile::resize(path, 2'000'008));
    m.scrollToOffset(1'999'968);
    EXPECT_EQ(m.viewPosition(), 1'999'968);
    EXPECT_EQ(texts(m.visibleLines(5)), (QStringList {u"Zeile 00124998"_s, u"Zeile 00124999"_s, u"Zeile 00"_s}));
    EXPECT_FALSE(m.readFailed());
    m.setSelection(1'999'990, 100, false);
    EXPECT_EQ(m.selectedBytes(), "00124999\r\nZeile 00");
    // Past the new end nothing can be shown, and a selection there cannot be read.
    m.scrollToOffset(3'000'000);
    EXPECT_TRUE(m.visibleLines(5).isEmpty());
    EXPECT_TRUE(m.readFailed());
    EXPECT_EQ(m.lastError(), u"Cannot read file: \""_s + path + u"\""_s);
    m.setSelection(3'000'000, 10, false);
    EXPECT_THROW(m.selectedBytes(), vespira::Error);

    // UTF-16 cut one byte into a character: that byte is no character.
    const QString widePath = write(vespira::test::utf16le(QString::fromLatin1(text), false), u"wide.txt"_s);
    ViewerModel u;
    u.setMode(ViewerMode::vbmodeUnicode);
    ASSERT_TRUE(u.open(widePath));
    ASSERT_TRUE(QFile::resize(widePath, 4'000'001));
    u.scrollToOffset(3'999'936);
    EXPECT_EQ(texts(u.visibleLines(5)), (QStringList {u"Zeile 00124998"_s, u"Zeile 00124999"_s}));
    EXPECT_FALSE(u.readFailed());
}

TEST_F(ViewerModelTest, OpenFailureIsReportedAndTheSameFileOpensWithoutChange)
{
    ViewerModel m;
    EXPECT_FALSE(m.open(m_folder.file(u"missing.txt"_s))); // its message is the viewer's test
    EXPECT_FALSE(m.isOpen());

    const QString path = write("abcdefgh");
    ASSERT_TRUE(m.open(path));
    m.setSelection(5, 3, false);
    ASSERT_TRUE(m.open(path));
    EXPECT_EQ(m.selectionLength(), 3);
}

} // namespace
