#include "producer/charset.h"
#include "producer/htmlextract.h"
#include "producer/mimeextract.h"
#include "producer/textbuilder.h"

#include <gtest/gtest.h>

using namespace vespira::producer;

namespace {

std::string html(const char *bytes)
{
    const Extracted e = extractHtml(QByteArrayView(bytes, qsizetype(std::strlen(bytes))));
    EXPECT_TRUE(e.error.isEmpty());
    return e.text;
}

} // namespace

TEST(HtmlText, TitleFirstThenBodyWithoutScriptsAndCollapsedBlanks)
{
    EXPECT_EQ(html("<html><head><title> Der  Titel </title><style>p{}</style><script>var x;</script></head>"
                   "<body><h1>Kopf</h1><p>Ein   Absatz\n mit &amp; Entit&auml;t&nbsp;und<br>Umbruch</p>"
                   "<noscript>nein</noscript><template>nie</template><div></div><p> </p>"
                   "<table><tr><td>a</td><td>b</td></tr></table><pre>eins\n  zwei</pre></body></html>"),
              "Der Titel\r\nKopf\r\nEin Absatz mit & Entität und\r\nUmbruch\r\na b\r\neins\r\nzwei\r\n");
}

TEST(HtmlText, BrokenEmptyAndDeeplyNestedMarkupNeverFail)
{
    EXPECT_EQ(html(""), "");
    EXPECT_EQ(html("<p>offen <b>fett <i>kursiv</p> weiter</b></i><td>zelle"), "offen fett kursiv\r\nweiterzelle\r\n");
    std::string deep;
    for (int i = 0; i < 3000; ++i)
        deep += "<div><span>";
    deep += "tief";
    EXPECT_EQ(html(deep.c_str()), "tief\r\n");
}

TEST(HtmlText, CharacterReferencesBeyondTheCodeSpaceStayValidUtf8)
{
    // The parser's number overflows here and comes out as a stray continuation byte.
    const std::string overflow = "<p>a&#x11000" + std::string(37, 'a') + "0;b &#99999999999999999999; &#x110000;</p>";
    const std::string text = html(overflow.c_str());
    EXPECT_TRUE(isValidUtf8(QByteArrayView(text.data(), qsizetype(text.size())))) << text;
    EXPECT_EQ(text.substr(0, 1), "a");

    TextBuilder b;
    b.text("x\xA0y \xC3\x28 \xED\xA0\x80");
    EXPECT_EQ(b.take(), "x\xEF\xBF\xBDy \xEF\xBF\xBD( \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\r\n");
}

TEST(HtmlText, MarkerLikeTextCannotOpenABlock)
{
    EXPECT_EQ(html("<p>#C:\\x</p><p>siehe #Z:\\home\\a.htm und #ä:\\b</p><p>##:\\ #</p>"),
              "# C:\\x\r\nsiehe # Z:\\home\\a.htm und # ä:\\b\r\n# #:\\ #\r\n");
    std::string line = "#Z:\\";
    defuseMarkers(line);
    EXPECT_EQ(line, "# Z:\\");
}

TEST(Charset, DeclaredBomGuessedAndInvalidBytes)
{
    // windows-1252 by <meta charset>, by http-equiv, and Latin-1 read as windows-1252.
    EXPECT_EQ(html("<meta charset=\"windows-1252\"><p>Gr\xfc\xdf" "e \x80</p>"), "Grüße €\r\n");
    EXPECT_EQ(html("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\"><p>\xe4\x93</p>"),
              "ä“\r\n");
    // Byte-order marks, also UTF-16 without one.
    EXPECT_EQ(html("\xEF\xBB\xBF<p>\xc3\xa4</p>"), "ä\r\n");
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray("<\0p\0>\0\xe4\0", 8);
    EXPECT_EQ(extractHtml(utf16).text, "ä\r\n");
    EXPECT_EQ(extractHtml(QByteArray("<\0p\0>\0x\0y\0z\0<\0/\0p\0>\0", 20)).text, "xyz\r\n");
    // Undeclared legacy text goes to the detector; declared UTF-8 keeps its promise with U+FFFD.
    const Decoded guessed = decodeDocument("<p>Die Stra\xdf" "e f\xfchrt \xfc" "ber die Br\xfc" "cke nach S\xfc" "den.</p>", {}, true);
    EXPECT_NE(guessed.charset, "utf-8");
    EXPECT_NE(guessed.utf8.find("Straße führt über"), std::string::npos);
    EXPECT_EQ(html("<meta charset=utf-8><p>a\xff" "b</p>"), "a\xef\xbf\xbd" "b\r\n");
    // An unknown label falls back instead of failing.
    EXPECT_EQ(html("<meta charset=\"x-gibts-nicht\"><p>ok</p>"), "ok\r\n");
}

TEST(Charset, BinaryFileIsRefused)
{
    const Extracted e = extractHtml(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0\x01\0\0\0", 24));
    EXPECT_FALSE(e.error.isEmpty());
    EXPECT_TRUE(e.text.empty());
}

TEST(MimeText, HeadersThenHtmlAndPlainPartsDecoded)
{
    const char *eml =
        "From: =?iso-8859-1?Q?J=FCrgen?= <j@example.org>\r\n"
        "Subject: =?utf-8?Q?Gr=C3=BC=C3=9Fe?=\r\n"
        "Date: Mon, 7 Oct 2024 08:00:00 +0200\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
        "--b\r\nContent-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "Erste Zeile =E4\r\n#C:\\nicht\r\nZweite Zeile\r\n"
        "--b\r\nContent-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "PHRpdGxlPlQ8L3RpdGxlPjxwPkjDpHVzZXI8L3A+\r\n"
        "--b\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\niVBORw0KGgo=\r\n"
        "--b--\r\n";
    const Extracted e = extractMime(QByteArrayView(eml, qsizetype(std::strlen(eml))));
    EXPECT_EQ(e.text, "Grüße\r\nJürgen <j@example.org>\r\nMon, 7 Oct 2024 08:00:00 +0200\r\n"
                      "Erste Zeile ä\r\n# C:\\nicht\r\nZweite Zeile\r\nT\r\nHäuser\r\n");
}
