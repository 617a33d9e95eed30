#include "core/search/optionsearch.h"
#include "core/search/wordmatcher.h"

#include "support/tempdir.h"
#include "support/textdata.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;

namespace {

// The first match of word in text with umlauts equal to their spellings, as the document
// writes it; "-" for none.
QString firstSpelling(const QString &word, const QString &text, TTextEncoding encoding, bool caseSensitive,
                      bool wholeWords)
{
    const QByteArray bytes = encoding == vEncUTF8 ? text.toUtf8() : test::utf16le(text, false);
    const WordMatcher matcher(word, encoding, caseSensitive, wholeWords, true);
    qint64 length = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qint64 at =
        matcher.findForward(data, 0, bytes.size(), bytes.size(), 0, bytes.size() - matcher.minLength(), length);
    if (at < 0)
        return u"-"_s;
    const QByteArray found = bytes.mid(at, length);
    return encoding == vEncUTF8 ? QString::fromUtf8(found)
                                : QString(reinterpret_cast<const QChar *>(found.constData()), found.size() / 2);
}

TEST(Spellings, UmlautsAndTheirSpelledOutFormsFindEachOther)
{
    const struct
    {
        QString word;
        QString text;
        bool caseSensitive;
        bool wholeWords;
        QString found;
    } cases[] = {
        {u"Müller"_s, u"Herr Mueller kommt"_s, false, false, u"Mueller"_s},
        {u"Mueller"_s, u"Herr Müller kommt"_s, false, false, u"Müller"_s},
        {u"Strasse"_s, u"Die Straße"_s, false, false, u"Straße"_s},
        {u"strasse"_s, u"AN DER STRAẞE"_s, false, false, u"STRAẞE"_s},
        {u"Grossbritannien"_s, u"nach GROẞBRITANNIEN"_s, false, false, u"GROẞBRITANNIEN"_s}, // ẞ: 3 bytes
        {u"Essstörung"_s, u"die Eßstörung"_s, false, false, u"Eßstörung"_s},                 // "sss" = "ßs"
        {u"Eßstörung"_s, u"die Essstoerung"_s, false, false, u"Essstoerung"_s},
        {u"ue"_s, u"Müller"_s, false, false, u"ü"_s},
        // A match is made of whole characters of the document.
        {u"Mu"_s, u"Müller"_s, false, false, u"-"_s},
        {u"Stras"_s, u"Straße"_s, false, false, u"-"_s},
        {u"se"_s, u"Straße"_s, false, false, u"-"_s},
        // Whole words: the word ends where its umlaut or ß ends.
        {u"Fuß"_s, u"Fußball, Fuss."_s, false, true, u"Fuss"_s},
        {u"Oel"_s, u"Öltank, Öl!"_s, false, true, u"Öl"_s},
        // Case kept: a capital umlaut is its capital with "e" of either case; ß is either case.
        {u"Ärger"_s, u"AERGER Aerger"_s, true, false, u"Aerger"_s},
        {u"AERGER"_s, u"Ärger ÄRGER"_s, true, false, u"ÄRGER"_s},
        {u"STRASSE"_s, u"Straße STRAßE"_s, true, false, u"STRAßE"_s},
        {u"Müller"_s, u"MÜLLER MUELLER"_s, true, false, u"-"_s},
    };
    for (const auto &c : cases)
        for (const TTextEncoding encoding : {vEncUTF8, vEncUnicodeLE})
            EXPECT_EQ(firstSpelling(c.word, c.text, encoding, c.caseSensitive, c.wholeWords), c.found)
                << c.word.toStdString() << " in " << c.text.toStdString()
                << (encoding == vEncUTF8 ? " UTF-8" : " UTF-16");
}

TEST(Spellings, MarksEveryWordInAnySpellingAndMergesOverlaps)
{
    const QString context = u"Müller und MUELLER, Gartenhaus im Garten"_s;
    EXPECT_EQ(findWords(context, {u"Mueller"_s, u"garten"_s}, false, true, true),
              (QList<TextSpan> {{0, 6}, {11, 7}, {34, 6}}));
    EXPECT_EQ(findWords(context, {u"garten"_s, u"tenha"_s}, false, false, false), (QList<TextSpan> {{20, 8}, {34, 6}}));
    EXPECT_EQ(findWords(context, {u"Müller"_s}, true, false, false), (QList<TextSpan> {{0, 6}}));
}

TEST(WordScan, ReadsOnlyTheStretchesItIsGiven)
{
    test::TempProgramFolder folder;
    QByteArray text(1000, '.');
    for (const int at : {50, 300, 700})
        text.replace(at, 4, "Haus");
    MappedFile file(folder.write(u"t.txt"_s, text));
    const WordMatcher word(u"haus"_s, vEncUTF8, false, false, false);
    WordScan scan(word, file, 16, {});
    scan.setCandidates([](qint64 p) {
        for (const ScanSpan s : {ScanSpan {250, 320}, ScanSpan {600, 650}})
            if (p < s.end)
                return ScanSpan {std::max(p, s.begin), s.end};
        return ScanSpan {1000, 1000};
    });
    qint64 length = 0;
    EXPECT_EQ(scan.find(0, 1000, length), 300);
    EXPECT_EQ(scan.find(301, 1000, length), -1);
}

} // namespace
