#include "core/common/text.h"
#include "core/searchwindow/findinviewer.h"
#include "support/tempdir.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::searchwindow;
using vespira::CancelToken;
using vespira::Progress;
using vespira::app::DocumentKind;

namespace {

class FindInViewerTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes, const QString &name = u"doc.txt"_s) { return m_folder.write(name, bytes); }

    QList<qint64> offsets(const QByteArray &text, const QByteArray &pattern)
    {
        return byteSearchAll(write(text), pattern).offsets;
    }

    vespira::test::TempProgramFolder m_folder;
};

TEST_F(FindInViewerTest, OverlappingOccurrencesAreAllListed)
{
    EXPECT_EQ(offsets("aaaa", "aa"), (QList<qint64> {0, 1, 2}));
    EXPECT_EQ(offsets("xAaAx", "aa"), (QList<qint64> {1, 2}));
}

// The folding table itself is the text test's; here that the search applies it everywhere.
TEST_F(FindInViewerTest, FoldedPatternAgreesWithPlainComparisonOnRandomText)
{
    // A small alphabet with both case forms gives many partial matches and every shift rule
    // a chance to skip an occurrence it must not skip.
    const QByteArray alphabet = "aAbB\xC4\xE4 ";
    auto *rng = QRandomGenerator::global();
    const auto fold = [](QByteArray s) {
        for (char &c : s)
            c = static_cast<char>(vespira::text::ansiLower(static_cast<uchar>(c)));
        return s;
    };
    for (int round = 0; round < 1000; ++round) {
        QByteArray text;
        QByteArray pattern;
        // Long enough for the sixteen-at-a-time scan and its scalar tail alike.
        const int textLength = rng->bounded(0, 120);
        const int patternLength = rng->bounded(1, 20);
        for (int i = 0; i < textLength; ++i)
            text += alphabet.at(rng->bounded(alphabet.size()));
        for (int i = 0; i < patternLength; ++i)
            pattern += alphabet.at(rng->bounded(alphabet.size()));
        QList<qint64> expected;
        const QByteArray ft = fold(text);
        const QByteArray fp = fold(pattern);
        for (qsizetype i = 0; i + fp.size() <= ft.size(); ++i)
            if (ft.mid(i, fp.size()) == fp)
                expected << i;
        FoldedPattern p(pattern);
        QList<qint64> found;
        for (qint64 at = p.find(reinterpret_cast<const uchar *>(text.constData()), text.size(), 0); at >= 0;
             at = p.find(reinterpret_cast<const uchar *>(text.constData()), text.size(), at + 1))
            found << at;
        ASSERT_EQ(found, expected) << "text " << text.toHex().constData() << " pattern "
                                   << pattern.toHex().constData();
    }
}

TEST_F(FindInViewerTest, Utf16OccurrencesAtOddOffsetsAreListed)
{
    // "xA" in UTF-16LE is 78 00 41 00; the character U+4100 is 00 41, straddling both
    QByteArray file = "\xFF\xFE" "x" + QByteArray(1, '\0') + "A" + QByteArray(1, '\0');
    EXPECT_EQ(offsets(file, findPatternBytes(DocumentKind::Mht, QString(QChar(0x4100)))),
              (QList<qint64> {3}));
    EXPECT_EQ(offsets(file, findPatternBytes(DocumentKind::Mht, u"a"_s)), (QList<qint64> {4}));
}

TEST_F(FindInViewerTest, OccurrencesAcrossMappingWindowsAreFoundOnceAndCancelStops)
{
    QByteArray text(10000, '.');
    text.replace(4093, 5, "Nadel");
    text.replace(8190, 5, "nADEL");
    const QString path = write(text);
    MappedFileSearch search(path, "nadel", 4096);
    ASSERT_TRUE(search.isOpen());
    EXPECT_EQ(search.next(0), 4093);
    EXPECT_EQ(search.next(4094), 8190);
    EXPECT_EQ(search.next(8191), -1);
    EXPECT_FALSE(search.failed());

    int calls = 0;
    MappedFileSearch stopped(path, "nadel", 4096);
    CancelToken cancel;
    const Progress stopAtSecondWindow([&](qint64, qint64) {
        if (++calls == 2)
            cancel.request();
    }, &cancel);
    EXPECT_EQ(stopped.next(0, stopAtSecondWindow), 4093);
    EXPECT_EQ(stopped.next(4094, stopAtSecondWindow), -1);
    EXPECT_TRUE(stopped.cancelled());
}

TEST_F(FindInViewerTest, PressesWalkTheOccurrencesAnnounceTheLastAndStartOver)
{
    const QString path = write("Haus haus HAUS");
    FindInViewer find;
    const auto press = [&](const QString &text) { return find.next(path, DocumentKind::Utf8, text); };
    using S = FindInViewer::Status;
    auto step = press(u"haus"_s);
    EXPECT_EQ(step.status, S::Found);
    EXPECT_EQ(step.offset, 0);
    EXPECT_EQ(step.selectionLength, 4);
    EXPECT_EQ(press(u"haus"_s).offset, 5);
    step = press(u"haus"_s);
    EXPECT_EQ(step.status, S::FoundLast);
    EXPECT_EQ(step.offset, 10);
    step = press(u"haus"_s);
    EXPECT_EQ(step.status, S::Found);
    EXPECT_EQ(step.offset, 0);

    // another text starts at its first occurrence
    step = press(u"aus h"_s);
    EXPECT_EQ(step.offset, 1);
    find.reset();
    EXPECT_EQ(press(u"aus h"_s).offset, 1);

    EXPECT_EQ(press(u"Haus haus HAUS!"_s).status, S::NotFound); // longer than the file
    EXPECT_EQ(find.next(m_folder.file(u"missing"_s), DocumentKind::Utf8, u"a"_s).status, S::NotFound);
    EXPECT_EQ(find.next(write({}, u"empty"_s), DocumentKind::Utf8, u"a"_s).status, S::NotFound);

    CancelToken cancelled;
    cancelled.request();
    EXPECT_EQ(find.next(path, DocumentKind::Mht, u"a"_s, Progress({}, &cancelled)).status, S::Cancelled);
}

TEST_F(FindInViewerTest, SelectionLengthIsTheLengthOfTheMatchedBytes)
{
    const QString utf8 = write("gro\xC3\x9F" "e Stra\xC3\x9F" "e", u"u.txt"_s);
    FindInViewer find;
    const auto step = find.next(utf8, DocumentKind::Utf8, u"straße"_s);
    EXPECT_EQ(step.offset, 7);
    EXPECT_EQ(step.selectionLength, 7);
    EXPECT_EQ(step.status, FindInViewer::Status::FoundLast);
    EXPECT_EQ(findPatternBytes(DocumentKind::Mht, u"ab"_s), QByteArray("a\0b\0", 4));
    EXPECT_EQ(findPatternBytes(DocumentKind::Ansi, u"a€\u4E00"_s), QByteArray("a\x80?"));
}

TEST(MemoSelection, FirstOccurrenceOrTheOneAfterThePreviousAndNothingWhenAbsent)
{
    const QString memo = u"Ein Haus.\nNoch ein HAUS.\nÄpfel"_s;
    EXPECT_EQ(memoSelectionStart(memo, u"haus"_s, 0, false), 4);
    EXPECT_EQ(memoSelectionStart(memo, u"haus"_s, 5, false), 4);   // from the 5th character on
    EXPECT_EQ(memoSelectionStart(memo, u"haus"_s, 6, false), 19);
    EXPECT_EQ(memoSelectionStart(memo, u"haus"_s, 500, false), 4);  // beyond the text
    EXPECT_EQ(memoSelectionStart(memo, u"haus"_s, 22, false), 4);   // none after it
    EXPECT_EQ(memoSelectionStart(memo, u"äPFEL"_s, 0, true), 25);
    EXPECT_EQ(memoSelectionStart(memo, u"Garten"_s, 0, false), -1);
    EXPECT_EQ(memoSelectionStart(memo, QString(), 0, false), -1);
    // A dotted capital I lowers to two characters in full case mapping; the index must
    // still count it as one.
    EXPECT_EQ(memoSelectionStart(u"İstanbul, İzmir: Haus"_s, u"haus"_s, 0, false), 17);
    EXPECT_EQ(memoSelectionStart(u"İ HAUS İ haus"_s, u"Haus"_s, 4, false), 9);
}

TEST(FindFile, KindAndSortedListChooseTheFile)
{
    EXPECT_EQ(findFilePath(u"/p/"_s, u"db"_s, DocumentKind::Utf8, false), u"/p/Datenbank/db_UTF8Dokument.txt"_s);
    EXPECT_EQ(findFilePath(u"/p/"_s, u"db"_s, DocumentKind::Mht, true),
              u"/p/Datenbank/db_Phrasen_Woerter_MHTListe.txt"_s);
    EXPECT_EQ(findFilePath(u"/p/"_s, u"db"_s, DocumentKind::Ansi, false), u"/p/Datenbank/db_AnsiDokument.txt"_s);
    EXPECT_TRUE(findFilePath(u"/p/"_s, u"db"_s, DocumentKind::None, false).isEmpty());
}

} // namespace
