// Hand-written pages where HTML parsers recover from broken markup in different ways;
// the text must be what a browser shows.

#include "producer/htmlextract.h"
#include "producer/textbuilder.h"

#include <gtest/gtest.h>

using namespace vespira::producer;

namespace {

std::string text(std::string_view html)
{
    const Extracted e = extractHtml(QByteArrayView(html.data(), qsizetype(html.size())));
    EXPECT_TRUE(e.error.isEmpty());
    return e.text;
}

} // namespace

TEST(HtmlRecovery, UnclosedParagraphsAndListItemsEndTheirLines)
{
    EXPECT_EQ(text("<p>eins<p>zwei<ul><li>drei<li>vier</ul>fünf<dl><dt>Wort<dd>Erklärung</dl>"),
              "eins\r\nzwei\r\ndrei\r\nvier\r\nfünf\r\nWort\r\nErklärung\r\n");
}

TEST(HtmlRecovery, StrayBreakEndTagsBreakTheLine)
{
    EXPECT_EQ(text("<p>oben</br>mitte</BR >unten</br/>ende</brille></p>"), "oben\r\nmitte\r\nunten\r\nende\r\n");
}

TEST(HtmlRecovery, TextStandingDirectlyInATableIsKept)
{
    // A browser shows it above the table; here it keeps its place, glued to no cell.
    EXPECT_EQ(text("<table> lose <tr><td>a</td><td>b</td></tr> rest </table>danach"),
              "lose\r\na b\r\nrest\r\ndanach\r\n");
}

TEST(HtmlRecovery, ScriptsEndOnlyAtTheirOwnEndTag)
{
    EXPECT_EQ(text("<div>vor <script>var s = \"</div><p>nein</p>\";</script> nach</div>"
                   "<style>p::after { content: \"</p>nie\" }</style><p>weiter</p>"),
              "vor nach\r\nweiter\r\n");
}

TEST(HtmlRecovery, CommentsEndAtTheFirstCommentEnd)
{
    EXPECT_EQ(text("<p>eins <!-- a -- b --> zwei <!-- c --!> drei <!----> vier <!-- <p>nicht</p> --> fünf</p>"),
              "eins zwei drei vier fünf\r\n");
}

TEST(HtmlRecovery, PlaintextTurnsTheRestIntoText)
{
    EXPECT_EQ(text("<title>T</title><p>vor</p><plaintext>roh <b>fett</b>\n</plaintext> &amp; #C:\\weiter"),
              "T\r\nvor\r\nroh <b>fett</b>\r\n</plaintext> &amp; # C:\\weiter\r\n");
}

TEST(HtmlRecovery, NoscriptIsHiddenLikeInABrowserWithScripts)
{
    EXPECT_EQ(text("<head><noscript><link rel=x></noscript></head><p>a</p>"
                   "<noscript><p>ohne Skript</p></noscript><p>b</p>"),
              "a\r\nb\r\n");
}

TEST(HtmlRecovery, ByteOrderMarkIsNoText)
{
    EXPECT_EQ(text("\xEF\xBB\xBF<title>T</title><p>x</p>"), "T\r\nx\r\n");
    // A MIME part hands its decoded text over as it came.
    TextBuilder b;
    appendHtmlText("\xEF\xBB\xBF<p>Wort</p>", b);
    EXPECT_EQ(b.take(), "Wort\r\n");
}

TEST(HtmlRecovery, ReferencesWithoutSemicolon)
{
    EXPECT_EQ(text("<p>&auml&Ouml &copy2024 AT&T &amp;copy &lt;b&gt; &#228&#x41;x &notin &AMP &apos &foo; & e</p>"),
              "äÖ ©2024 AT&T &copy <b> äAx ¬in & &apos &foo; & e\r\n");
    EXPECT_EQ(text("<title>&auml; &amp x</title><p>a &"), "ä & x\r\na &\r\n");
}

TEST(HtmlRecovery, TitleComesFirstWhereverItStands)
{
    EXPECT_EQ(text("<p>Text vorher</p><title>Spät</title><p>nachher</p><title>zweiter</title>"),
              "Spät\r\nText vorher\r\nnachher\r\n");
    // In a drawing, <title> is a tooltip.
    EXPECT_EQ(text("<p>Bild <svg><title>Kreis</title><circle/></svg></p><title>Seite</title>"), "Seite\r\nBild Kreis\r\n");
}
