#include "core/search/optionsearch.h"
#include "core/search/searchrun.h"
#include "core/search/wordmatcher.h"

#include "core/search/searchfixture.h"
#include "support/guicontext.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;
using vespira::test::FixtureDocument;

namespace {

// The first match of word in text with umlauts equal to their spellings, as the document
// writes it; "-" for none.
QString firstSpelling(const QString &word, const QString &text, TTextEncoding encoding, bool caseSensitive,
                      bool wholeWords)
{
    const QByteArray bytes = encoding == vEncUTF8 ? text.toUtf8() : test::utf16le(text);
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
        {u"Straße"_s, u"DIE STRASSE"_s, false, false, u"STRASSE"_s},
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
        {u"ÄRGER"_s, u"Aerger AERGER"_s, true, false, u"AERGER"_s},
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

// Documents of random words; every search below is checked per document against counting by
// hand, at block sizes that put words across every edge, in both collected files.
class OptionRun : public ::testing::TestWithParam<int>
{
protected:
    static QString blockText(const FixtureDocument &d) { return u"#"_s + d.path + u"\r\n"_s + d.text + u"\r\n"_s; }

    // Occurrences of any of the forms, each looked for after the end of the one before.
    static qint64 countByHand(const QString &text, const QStringList &forms, bool caseSensitive, bool wholeWords)
    {
        qint64 n = 0;
        const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype i = 0; i < text.size(); ++i) {
            for (const QString &form : forms) {
                if (text.mid(i, form.size()).compare(form, cs) != 0)
                    continue;
                const qsizetype end = i + form.size();
                if (wholeWords
                    && ((i > 0 && !isWordSeparator(text.at(i - 1).unicode()))
                        || (end < text.size() && !isWordSeparator(text.at(end).unicode()))))
                    continue;
                ++n;
                i = end - 1;
                break;
            }
        }
        return n;
    }

    void SetUp() override
    {
        const QStringList vocabulary {u"Haus"_s,    u"haus"_s,         u"HAUS"_s, u"Hausboot"_s, u"Garten"_s,
                                      u"garten"_s,  u"Gartenhaus"_s,   u"Maus"_s, u"und"_s,      u"Straße"_s,
                                      u"STRASSE"_s, u"Strassenbahn"_s, u"der"_s};
        QRandomGenerator random(18);
        for (int kind = 0; kind < 2; ++kind) {
            std::vector<FixtureDocument> &docs = kind == 0 ? utf8 : utf16;
            for (int i = 0; i < 30; ++i) {
                QStringList words;
                const int count = int(random.bounded(12));
                for (int w = 0; w < count; ++w)
                    words << vocabulary.at(random.bounded(vocabulary.size()));
                QString text;
                for (const QString &w : words)
                    text += w + (random.bounded(3) == 0 ? u"\r\n"_s : u", "_s);
                docs.push_back({u"Q:\\d%1\\n%2.htm"_s.arg(kind).arg(i), text});
            }
        }
        test::writeFileList(t.folder, u"Archiv"_s, u"Q"_s, utf8);
        test::writeCollected(t.folder, u"Archiv"_s, utf8, false);
        test::writeCollected(t.folder, u"Archiv"_s, utf16, true);
    }

    // Searches and compares the hits with the documents that hold every word, and their counts.
    void expectAsByHand(const QString &text, SearchRequest request, const QList<QStringList> &formsOfWords)
    {
        request.searchText = text;
        request.databaseName = u"Archiv"_s;
        request.countHits = true;
        SearchRunUi ui;
        SearchRun run(t.context, ui);
        run.setBlockSize(GetParam());
        const SearchOutcome outcome = run.run(request);
        QStringList expected, actual;
        for (const auto *docs : {&utf8, &utf16}) {
            for (const FixtureDocument &d : *docs) {
                qint64 total = 0;
                bool all = true;
                for (const QStringList &forms : formsOfWords) {
                    const qint64 n = countByHand(blockText(d), forms, request.caseSensitive, request.wholeWords);
                    all = all && n > 0;
                    total += n;
                }
                if (all)
                    expected << d.path + u" "_s + QString::number(total);
            }
        }
        for (const Hit &hit : run.hits())
            actual << hit.path.mid(QStringLiteral("Existiert nicht! ").size()) + u" "_s
                    + QString::number(hit.occurrences);
        EXPECT_EQ(actual, expected) << text.toStdString();
        EXPECT_GT(expected.size(), 2) << "the documents hold too few matches to tell";
        EXPECT_EQ(outcome.status, SearchOutcome::Status::Completed);
    }

    test::TestContext t;
    std::vector<FixtureDocument> utf8, utf16;
};

TEST_P(OptionRun, HitsAndCountsAreThoseCountedByHand)
{
    SearchRequest request;
    expectAsByHand(u"haus"_s, request, {{u"haus"_s}});
    request.allWords = true;
    expectAsByHand(u"haus  garten"_s, request, {{u"haus"_s}, {u"garten"_s}});
    request.wholeWords = true;
    expectAsByHand(u"Garten\thaus"_s, request, {{u"garten"_s}, {u"haus"_s}});
    request.caseSensitive = true;
    expectAsByHand(u"Haus Garten"_s, request, {{u"Haus"_s}, {u"Garten"_s}});
    request = {};
    request.umlauts = true;
    expectAsByHand(u"strasse"_s, request, {{u"strasse"_s, u"straße"_s}});
    request.allWords = true;
    request.wholeWords = true;
    expectAsByHand(u"Straße haus"_s, request, {{u"strasse"_s, u"straße"_s}, {u"haus"_s}});
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, OptionRun, ::testing::Values(1, 7, 97, 65536));

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
