#include "indexfixture.h"

#include "core/common/casefold.h"
#include "core/common/error.h"
#include "core/index/checksum.h"
#include "core/index/filestamp.h"
#include "core/index/foldedtext.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

QByteArray manyBlocks(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "#Z:\\d" + QByteArray::number(i) + ".htm\r\nText " + QByteArray::number(i * 104729)
            + " Größe " + QByteArray::number(i % 13) + "\r\n";
    return text;
}

std::vector<qint64> markerOffsets(const QByteArray &text, const QByteArray &marker = "#Z:")
{
    std::vector<qint64> offsets;
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1))
        offsets.push_back(at);
    return offsets;
}

QStringList leftovers(const test::TempProgramFolder &folder)
{
    return QDir(folder.file(u"Datenbank"_s)).entryList({u"*.tmp"_s}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(IndexBuilder, SlicesMergeToTheSameFileAsOneSlice)
{
    test::IndexedDatabase db;
    const QByteArray text = manyBlocks(300);
    db.write(text, markerOffsets(text));
    const index::BuildResult whole = db.build();
    EXPECT_EQ(whole.slices, 1);
    EXPECT_EQ(whole.blocks, 300);
    const QByteArray expected = db.indexBytes();
    const index::BuildResult sliced = db.build(97);
    EXPECT_GT(sliced.slices, 10);
    EXPECT_EQ(db.indexBytes(), expected);
    EXPECT_TRUE(leftovers(db.folder).isEmpty());
}

TEST(IndexBuilder, BlocksStartOnlyAtLineStarts)
{
    test::IndexedDatabase db;
    //                 0          11           24          36
    const QByteArray text = "#Z:\\a.htm\r\nHaus am See\r\n#Z:\\b.htm\r\nBoot";
    // 15 and 16 stand inside a line and move to its end; 7 is out of order, 90 beyond the end.
    db.write(text, {0, 15, 24, 16, 7, 90});
    db.build();
    EXPECT_EQ(db.open().blockStarts(), std::vector<qint64>({0, 11, 24}));

    test::IndexedDatabase wide(db::TextKind::Mht);
    const QByteArray units = test::utf16le(u"#Z:\\a\r\nHaus\r\n#Z:\\b\r\nBoot"_s);
    wide.write(units, {0, 15, 26}); // 15 is odd: inside the unit at 14
    wide.build();
    EXPECT_EQ(wide.open().blockStarts(), std::vector<qint64>({0, 26}));
}

TEST(IndexBuilder, FollowingTheWriterGivesTheIndexOfTheFinishedFile)
{
    using Reader = index::FollowingBuild::Reader;
    for (const auto &[kind, reader] :
         {std::pair(db::TextKind::Utf8, Reader::Writer), std::pair(db::TextKind::Mht, Reader::Writer),
          std::pair(db::TextKind::Utf8, Reader::OwnThread)}) {
        SCOPED_TRACE(int(kind) * 10 + int(reader));
        test::IndexedDatabase db(kind);
        const bool utf16 = kind == db::TextKind::Mht;
        // Capitals that fold to other bytes, so that a cut one read as two invalid bytes shows.
        const QByteArray blocks = manyBlocks(300).replace("Größe", "GRÖẞE");
        const QByteArray text = utf16 ? test::utf16le(QString::fromUtf8(blocks)) : blocks;
        const std::vector<qint64> titles = markerOffsets(text, utf16 ? test::utf16le(u"#Z:"_s) : "#Z:");
        db.write(text, titles);
        db.build(97);

        // Pieces of 1 to 7 bytes cut code points, units and CR LF; each is read after its write
        // by the writer, whenever the thread gets to it.
        const QString growing = db.folder.write(u"Datenbank/wachsend.txt"_s, {});
        QFile file(growing);
        ASSERT_TRUE(file.open(QIODevice::Append | QIODevice::Unbuffered));
        index::BuildInput input;
        input.collectedPath = growing;
        input.kind = db.indexedText();
        input.slicePairs = 97;
        index::FollowingBuild build(input, reader, 1);
        size_t nextTitle = 0;
        for (qsizetype at = 0, piece = 1; at < text.size(); at += piece, piece = piece % 7 + 1) {
            for (; nextTitle < titles.size() && titles[nextTitle] < at + piece; ++nextTitle)
                build.addTitle(titles[nextTitle]);
            file.write(text.mid(at, piece));
            build.written(at + std::min(piece, text.size() - at));
        }
        QByteArray bytes;
        const index::BuildResult result = build.finish([&](const QByteArray &b) { bytes += b; }, {});
        EXPECT_GT(result.slices, 10);
        EXPECT_EQ(bytes.mid(index::HeaderSize), db.indexBytes().mid(index::HeaderSize));
        const auto header = index::decodeHeader(bytes);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->stamp, index::stampOf(growing));
    }
}

TEST(IndexBuilder, CancelAndFailuresLeaveNothingBehind)
{
    test::IndexedDatabase db;
    const QByteArray text = manyBlocks(2000);
    db.write(text, markerOffsets(text));
    int calls = 0;
    CancelToken stop;
    const index::BuildResult cancelled = db.build(50, Progress([&](qint64, qint64) {
        if (++calls >= 1)
            stop.request();
    }, &stop));
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(leftovers(db.folder).isEmpty());

    index::BuildInput input;
    input.collectedPath = db.folder.file(u"Datenbank/fehlt.txt"_s);
    EXPECT_THROW(index::buildTrigramIndex(input, [](const QByteArray &) {}, {}), Error);
    input.collectedPath = db.collectedPath();
    EXPECT_THROW(index::buildTrigramIndex(input, [](const QByteArray &) { throw Error(u"voll"_s); }, {}), Error);
    EXPECT_TRUE(leftovers(db.folder).isEmpty());

    index::BuildInput growing;
    growing.collectedPath = db.collectedPath();
    growing.slicePairs = 50;
    {
        index::FollowingBuild stopped(growing, index::FollowingBuild::Reader::OwnThread, 1);
        stopped.written(text.size() / 2);
        CancelToken stopNow;
        stopNow.request();
        EXPECT_TRUE(stopped.finish([](const QByteArray &) {}, Progress({}, &stopNow)).cancelled);
    }
    {
        index::FollowingBuild failing(growing);
        EXPECT_THROW(failing.finish([](const QByteArray &) { throw Error(u"voll"_s); }, {}), Error);
    }
    EXPECT_TRUE(leftovers(db.folder).isEmpty());
}

TEST(IndexBuilder, UnitsFoldAsTheUtf16MatchingFoldsThem)
{
    // The UTF-16 matching lowers each unit with QChar::toLower; the index folds units with
    // the code-point folding. They must agree on every unit, surrogates included.
    for (uint32_t u = 0; u < 0x10000; ++u)
        ASSERT_EQ(text::foldCodePoint(u), uint32_t(QChar(char16_t(u)).toLower().unicode())) << u;
}

TEST(IndexBuilder, ChecksumOfTheStandardCheckText)
{
    EXPECT_EQ(index::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(index::crc32("6789", index::crc32("12345")), 0xCBF43926u);
}

TEST(IndexBuilder, SearchTextsFoldAsTheCollectedFileIsRead)
{
    // UTF-8: per code point, non-BMP letters too. UTF-16: per unit, so they stay.
    EXPECT_EQ(index::foldedSearchBytes(u"K\u00C4\U00010400"_s, index::IndexedText::Utf8),
              QByteArray("k\xC3\xA4\xF0\x90\x90\xA8"));
    EXPECT_EQ(index::foldedSearchBytes(u"K\u00C4\U00010400"_s, index::IndexedText::Utf16LE),
              QByteArray("k\xC3\xA4\xED\xA0\x81\xED\xB0\x80"));
    EXPECT_EQ(index::trigramsOf("abab"), std::vector<uint32_t>({0x616261, 0x626162}));
}
