#include "core/output/profilefile.h"
#include "core/output/webaddresses.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using vespira::output::ProfileFile;
using vespira::output::WebAddressFile;
using vespira::output::splitAddresses;
using vespira::output::splitTopics;

namespace {

ProfileFile profile(const char *text)
{
    return ProfileFile(QByteArray(text));
}

} // namespace

TEST(ProfileFile, NamesIgnoreCaseTheFirstOfANameCountsAndWhatIsMissingReadsEmpty)
{
    const ProfileFile file = profile("; Adressen\r\n"
                                     "[Themen1]\r\n"
                                     "  LISTE = Wissen, Suchmaschinen,  \r\n"
                                     "k=eins\nk=zwei\n;y=2\n"
                                     "[themen1]\nk=drei\nm=vier\n");
    EXPECT_EQ(file.value(u"themen1"_s, u"Liste"_s), u"Wissen, Suchmaschinen,"_s);
    EXPECT_EQ(file.value(u"Themen1"_s, u"k"_s), u"eins"_s);
    EXPECT_EQ(file.value(u"Themen1"_s, u"m"_s), QString());
    EXPECT_EQ(file.value(u"Themen1"_s, u"y"_s), QString()) << "a commented line is no key";
    EXPECT_EQ(file.value(u"Themen2"_s, u"k"_s), QString());
    vespira::test::TempProgramFolder folder;
    EXPECT_EQ(vespira::output::readProfileString(folder.file(u"fehlt.txt"_s), u"A"_s, u"x"_s), QString());
}

TEST(ProfileFile, CommasAndInnerQuotesArePlainTextButEnclosingQuotesGo)
{
    // The reason not to use an INI parser that splits at commas or unescapes quotes.
    const ProfileFile file = profile("[S]\na=\"x, y\"\nb=say \"hi\", ok\nc='z'\nd=\"open\n");
    EXPECT_EQ(file.value(u"S"_s, u"a"_s), u"x, y"_s);
    EXPECT_EQ(file.value(u"S"_s, u"b"_s), u"say \"hi\", ok"_s);
    EXPECT_EQ(file.value(u"S"_s, u"c"_s), u"z"_s);
    EXPECT_EQ(file.value(u"S"_s, u"d"_s), u"\"open"_s);
}

TEST(ProfileFile, ValueIsCutAt254Characters)
{
    const QByteArray exact(254, 'a');
    const QByteArray longer = QByteArray(254, 'b') + "cdef";
    const ProfileFile file(QByteArray("[S]\r\nexact=") + exact + "\r\nlonger=" + longer + "\r\n");
    EXPECT_EQ(file.value(u"S"_s, u"exact"_s), QString::fromLatin1(exact));
    EXPECT_EQ(file.value(u"S"_s, u"longer"_s), QString(254, u'b'));
}

TEST(ProfileFile, TextIsWindows1252UnlessTheFileStartsWithAUtf8Mark)
{
    const ProfileFile ansi(QByteArray("[W\xF6rterb\xFC" "cher]\nListe=\x80 \x93x\x94\n"));
    EXPECT_EQ(ansi.value(u"Wörterbücher"_s, u"Liste"_s), u"€ “x”"_s);
    const ProfileFile utf8(QByteArray("\xEF\xBB\xBF[W\xC3\xB6rter]\nListe=\xC3\xA4\n"));
    EXPECT_EQ(utf8.value(u"Wörter"_s, u"Liste"_s), u"ä"_s);
}

TEST(WebTopics, ClosingCommaOfTheFirstListMakesNoDifference)
{
    const QStringList expected {u"Wissen"_s, u"Suchmaschinen"_s, u"Programmierung"_s, u"Karten"_s};
    EXPECT_EQ(splitTopics(u"Wissen, Suchmaschinen,"_s, u"Programmierung, Karten"_s), expected);
    // Without the comma the last and the first topic must not run together into
    // "SuchmaschinenProgrammierung", a topic without addresses.
    EXPECT_EQ(splitTopics(u"Wissen, Suchmaschinen"_s, u"Programmierung, Karten,"_s), expected);
    EXPECT_EQ(splitTopics(u" , \t,Wissen"_s, QString()), QStringList {u"Wissen"_s});
    EXPECT_TRUE(splitTopics(QString(), QString()).isEmpty());
}

TEST(WebAddresses, TwoQueryAddressesWithAndWithoutBlankAfterTheComma)
{
    const QStringList expected {u"https://a.example/?q="_s, u"https://b.example/suche/"_s};
    EXPECT_EQ(splitAddresses(u"https://a.example/?q=, https://b.example/suche/"_s), expected);
    // A bare comma must not cost the second address its first letter ("ttps://...").
    EXPECT_EQ(splitAddresses(u"https://a.example/?q=,https://b.example/suche/"_s), expected);
    EXPECT_EQ(splitAddresses(u"https://a.example/?q=,\thttps://b.example/suche/ ,"_s), expected);
    EXPECT_TRUE(splitAddresses(u" , ,"_s).isEmpty());
}

TEST(WebAddressFile, ReadsTopicsAndAddressesSortedFromTheFile)
{
    vespira::test::TempProgramFolder folder;
    folder.write(u"Adressen_Webseiten.txt"_s,
                 "[Themen1]\r\nListe=wissen, Programmierung,\r\n[Themen2]\r\nListe=W\xF6rterb\xFC" "cher, Karten\r\n"
                 "[Programmierung]\r\nListe=https://z.example/?s=, https://A.example/doc/, https://m.example\r\n");
    const WebAddressFile file(folder.file(u"Adressen_Webseiten.txt"_s));
    ASSERT_TRUE(file.exists());
    EXPECT_EQ(file.topics(), (QStringList {u"Karten"_s, u"Programmierung"_s, u"wissen"_s, u"Wörterbücher"_s}));
    EXPECT_EQ(file.addresses(u"programmierung"_s),
              (QStringList {u"https://A.example/doc/"_s, u"https://m.example"_s, u"https://z.example/?s="_s}));
    EXPECT_TRUE(file.addresses(u"Karten"_s).isEmpty());

    const WebAddressFile missing(folder.file(u"fehlt.txt"_s));
    EXPECT_FALSE(missing.exists());
    EXPECT_TRUE(missing.topics().isEmpty());
}
