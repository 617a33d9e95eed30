#include "core/lists/linesplitter.h"
#include "core/lists/sortedlist.h"

#include "support/textdata.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using vespira::lists::LineSplitter;
using vespira::lists::EntryCollation;
using vespira::lists::SortedList;
using vespira::lists::SortedLists;
using vespira::lists::SplitMode;

namespace {

// Sorts with the German collation, as the program's users have it.
class Splitter : public ::testing::Test
{
protected:
    vespira::test::GermanLocale locale;

    QStringList split(SplitMode mode, const QStringList &lines, int list)
    {
        SortedLists lists;
        LineSplitter splitter(mode, u"#Z:\\"_s, lists);
        for (const QString &line : lines)
            splitter(line);
        return lists.list(list).sorted();
    }

    QStringList all(SplitMode mode, const QString &line)
    {
        SortedLists lists;
        LineSplitter splitter(mode, u"#Z:\\"_s, lists);
        splitter(line);
        QStringList out;
        for (int i = 0; i <= SortedLists::Rest; ++i)
            out += lists.list(i).sorted();
        return out;
    }
};

// The command-line test pins whole phrase lists; here the rules one at a time.
TEST_F(Splitter, LengthLimits)
{
    EXPECT_EQ(all(SplitMode::Words, u"ab abc"_s), (QStringList {u"abc"_s}));
    EXPECT_EQ(all(SplitMode::Phrases, u"a b, a bc"_s), (QStringList {u"a bc"_s}));
    // Control characters at a word's edges do not count towards its length.
    EXPECT_TRUE(all(SplitMode::Words, u"\x01" "ab\x02"_s).isEmpty());

    const QString plain(150, u'x');
    EXPECT_TRUE(all(SplitMode::Words, plain).isEmpty());
    const QString tagged = u"<"_s + QString(149, u'x');
    EXPECT_EQ(all(SplitMode::Words, tagged), (QStringList {tagged}));
    const QString hundred(100, u'y');
    EXPECT_EQ(all(SplitMode::Words, hundred), (QStringList {hundred}));
}

TEST_F(Splitter, LineDropRules)
{
    for (SplitMode mode : {SplitMode::Words, SplitMode::Phrases, SplitMode::WordsAndPhrases}) {
        EXPECT_TRUE(all(mode, u"Ein Satz **** hier drin"_s).isEmpty());
        EXPECT_TRUE(all(mode, u"Ein Satz ---- hier drin"_s).isEmpty());
        EXPECT_TRUE(all(mode, u"Ein Satz ____ hier drin"_s).isEmpty());
        EXPECT_TRUE(all(mode, u"#Z:\\Ein Satz hier drin"_s).isEmpty());
    }
    EXPECT_TRUE(all(SplitMode::Words, u"Wer kommt?? Niemand"_s).isEmpty());
    EXPECT_EQ(all(SplitMode::Phrases, u"Wer kommt?? Niemand"_s), (QStringList {u"Wer kommt?? Niemand"_s}));
    EXPECT_FALSE(all(SplitMode::WordsAndPhrases, u"Wer kommt?? Niemand"_s).isEmpty());
    // Another drive's marker is text like any other.
    EXPECT_FALSE(all(SplitMode::Words, u"#D:\\Texte und mehr"_s).isEmpty());
}

TEST_F(Splitter, PhraseFragmentRules)
{
    EXPECT_TRUE(all(SplitMode::Phrases, u"so --- nicht"_s).isEmpty());
    EXPECT_TRUE(all(SplitMode::Phrases, u"so –––– nicht"_s).isEmpty());
    EXPECT_TRUE(all(SplitMode::Phrases, u"a --            --          -- x"_s).isEmpty());
    // Each of the two "''" tests takes one character off the front.
    EXPECT_EQ(all(SplitMode::Phrases, u"x''y und z"_s), (QStringList {u"'y und z"_s}));
    EXPECT_EQ(all(SplitMode::Phrases, u"x y''z"_s), (QStringList {}));
}

TEST_F(Splitter, WordsAndPhrasesTreatTabsAsBlanks)
{
    const QStringList both = all(SplitMode::WordsAndPhrases, u"Alte\tHäuser, neue Wege"_s);
    EXPECT_TRUE(both.contains(u"Alte"_s));
    EXPECT_TRUE(both.contains(u"Alte Häuser"_s));
    EXPECT_TRUE(both.contains(u"neue Wege"_s));
    EXPECT_FALSE(all(SplitMode::Phrases, u"Alte\tHäuser, x"_s).contains(u"Alte\tHäuser"_s));
}

TEST_F(Splitter, WordsGoToTheirLetterGroupsUmlautsWithTheirVowelsAndTheFirstSpellingWins)
{
    EXPECT_EQ(split(SplitMode::Words, {u"Das Haus, das Dach; und: ein HAUS"_s}, 1), QStringList {u"Haus"_s});
    EXPECT_EQ(split(SplitMode::Words, {u"Ärger ärger Apfel Zebra Bär"_s}, 0),
              (QStringList {u"Apfel"_s, u"Ärger"_s, u"Bär"_s}));
    EXPECT_EQ(split(SplitMode::Words, {u"Öl Übel ßig 123"_s}, 2), (QStringList {}));
    EXPECT_EQ(split(SplitMode::Words, {u"Öle Übel ßig 123"_s}, 3), (QStringList {u"Übel"_s}));
    EXPECT_EQ(split(SplitMode::Words, {u"Öle Übel ßig 123"_s}, SortedLists::Rest),
              (QStringList {u"123"_s, u"ßig"_s}));
}

TEST(SortedListCollation, CaseIsIgnoredInTheCLocaleToo)
{
    QLocale::setDefault(QLocale::c());
    SortedLists lists;
    lists.addEntry(u"HAUS");
    lists.addEntry(u"haus");
    lists.addEntry(u"Hof");
    EXPECT_EQ(lists.list(1).sorted(), (QStringList {u"HAUS"_s, u"Hof"_s}));
}

} // namespace

TEST(SortedListTable, ThousandsOfEntriesKeepTheirFirstSpellingThroughEveryGrowth)
{
    // Enough entries to grow the table several times, each added in two spellings and
    // again exactly, so every lookup path (empty slot, same hash, collision) is taken.
    SortedList list(std::make_shared<EntryCollation>());
    QStringList expected;
    for (int i = 0; i < 20000; ++i) {
        const QString word = u"wort%1"_s.arg(i, 5, 10, QChar(u'0'));
        list.add(word);
        list.add(word.toUpper());
        list.add(word);
        expected << word;
    }
    EXPECT_EQ(list.sorted(), expected);
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    list.add(u"WORT"_s);
    list.add(u"wort"_s);
    EXPECT_EQ(list.sorted(), QStringList {u"WORT"_s});
}
