#include "core/search/collectedfilesearch.h"
#include "core/search/linereader.h"

#include "core/search/searchfixture.h"
#include "support/fakes.h"
#include "support/tempdir.h"
#include "support/watchdog.h"

#include <QBuffer>
#include <QDir>

#include <algorithm>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::search;
using vespira::test::FixtureDocument;

namespace {

QString lineAt(const QByteArray &data, qint64 position, int charSize = 1, bool bigEndian = false)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer, charSize, bigEndian);
    return charSize == 1 ? QString::fromLatin1(reader.lineBytes(position)) : reader.lineText(position);
}

TEST(LineReader, SelectsTheLineAroundAPosition)
{
    const QByteArray data = "eins\r\nzwei drei\r\n\r\nvier"_ba;
    EXPECT_EQ(lineAt(data, 0), u"eins"_s);
    EXPECT_EQ(lineAt(data, 8), u"zwei drei"_s);
    EXPECT_EQ(lineAt(data, 4), u"eins"_s);      // on the CR: the line it ends
    EXPECT_EQ(lineAt(data, 5), QString {});     // on the LF of a CR LF
    EXPECT_EQ(lineAt(data, 17), QString {});    // the empty line
    EXPECT_EQ(lineAt(data, 19), u"vier"_s);
    EXPECT_EQ(lineAt(data, 22), u"vier"_s);
    EXPECT_EQ(lineAt(data, 23), QString {});    // beyond the end
    EXPECT_EQ(lineAt(data, 500), QString {});

    // At most 2048 units each way.
    const QByteArray longLine = QByteArray(3000, 'a') + "X" + QByteArray(3000, 'b');
    const QString around = lineAt(longLine, 3000);
    EXPECT_EQ(around.size(), 4096);
    EXPECT_EQ(around.indexOf(u'X'), 2048);

    // UTF-16 in both byte orders.
    const QString wide = u"Zeile eins\r\nZeile zwei"_s;
    QByteArray be;
    for (const QChar ch : wide)
        be.append(char(ch.unicode() >> 8)).append(char(ch.unicode() & 0xFF));
    EXPECT_EQ(lineAt(test::utf16le(wide), 28, 2), u"Zeile zwei"_s);
    EXPECT_EQ(lineAt(be, 28, 2, true), u"Zeile zwei"_s);
    EXPECT_EQ(lineAt(test::utf16le(wide), 22, 2), QString {});
}

TEST(LineReader, AFileThatShrankEndsTheLineAtItsNewEnd)
{
    test::TempProgramFolder folder;
    folder.write(u"a.txt"_s, "eins\r\n"_ba + QByteArray(3000, 'z') + "\r\nEnde"_ba);
    QFile file(folder.file(u"a.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    LineReader reader(file, 1);
    ASSERT_TRUE(QFile::resize(folder.file(u"a.txt"_s), 1006)); // "eins\r\n" and 1000 of the z
    EXPECT_EQ(reader.lineBytes(2500), QByteArray());            // gone: nothing is read
    EXPECT_EQ(reader.lineBytes(1000), QByteArray(1000, 'z'));   // up to the new end
    EXPECT_EQ(reader.lineBytes(3008), QByteArray());
}

TEST(CaseClass, EveryLetterWithCaseLiesInTheRangesWalked)
{
    // The case classes are gathered from these ranges only.
    const auto ranges = casedRanges();
    const auto inRanges = [&](char32_t c) {
        return std::any_of(ranges.begin(), ranges.end(), [c](CodeRange r) { return c >= r.from && c < r.to; });
    };
    for (char32_t c = 0; c < 0x110000; ++c) {
        if ((c < 0xD800 || c > 0xDFFF) && QChar::toLower(c) != c) {
            ASSERT_TRUE(inRanges(c)) << std::hex << uint32_t(c);
        }
    }
    EXPECT_EQ(caseClass(0x1E922), (std::vector<uint32_t> {0x1E922, 0x1E900})); // Adlam, the last pair
    EXPECT_EQ(caseClass(u'k'), (std::vector<uint32_t> {u'k', u'K', 0x212A}));  // and the Kelvin sign
}

TEST(ContextCutting, KeepsFortyUnitsBeforeALateMatchAndTheStartBeforeAnEarlyOne)
{
    const QString line = QString(500, u'a') + u"Haus"_s + QString(100, u'b');
    const QString cut = cutUnicodeContext(line, u"haus"_s, false);
    // P = 501 removes the first 461 units: 39 stand before the match.
    EXPECT_EQ(cut.indexOf(u"Haus"_s), 39);
    EXPECT_EQ(cut.size(), line.size() - 461);
    EXPECT_EQ(cutUnicodeContext(line, u"haus"_s, true), line.left(350 - 1) + line.back()); // not found: P = 0

    // An early match keeps the start and the last unit of a long line.
    const QString early = u"Haus "_s + QString(600, u'c') + u"Z"_s;
    EXPECT_EQ(cutUnicodeContext(early, u"Haus"_s, true), early.left(349) + u"Z"_s);
    // A short context stays as it is; "<b>" is kept.
    EXPECT_EQ(cutUnicodeContext(u"ein <b>Haus</b>"_s, u"Haus"_s, false), u"ein <b>Haus</b>"_s);
}

TEST(ContextCutting, VeryLongSearchTextsUseTheLongContextRuleAndUtf8CountsBytes)
{
    const QString needle = QString(320, u'n');
    const QString line = QString(200, u'a') + needle + QString(700, u'b');
    const QString cut = cutUnicodeContext(line, needle, true);
    // P = 201 > 100 keeps 39 units before (context 1059); P = 40 < 350 - 320 fails, so the
    // long rule: P = 40 <= 150 removes nothing, then 400 units remain.
    EXPECT_EQ(cut, line.mid(161, 400));

    // UTF-8 counts bytes and folds umlauts; case-sensitive it finds nothing, P = 0, nothing goes.
    const QByteArray bytes = QByteArray(120, 'x') + u"ÄRGER"_s.toUtf8() + QByteArray(10, 'y');
    EXPECT_EQ(cutUtf8Context(bytes, u"ärger"_s, false).indexOf(u"ÄRGER"_s.toUtf8()), 39);
    EXPECT_EQ(cutUtf8Context(bytes, u"ärger"_s, true), bytes);
}

class LoopTest : public ::testing::Test
{
protected:
    LoopTest()
        : mapper([this](const QString &name) { return settings.read(name); })
        , env(dialogs, mapper)
    {
        env.programFolder = folder.path();
        env.documentMarker = u"#Q:\\"_s;
        env.replacementDrive = u"Q"_s;
    }

    QList<Hit> search(const std::vector<FixtureDocument> &docs, const QString &text, bool cs = false,
                       bool ww = false, bool utf16 = false, const QByteArray &prefix = {}, int block = 65536)
    {
        test::writeCollected(folder, u"db"_s, docs, utf16, prefix);
        MatchOptions options;
        options.searchText = text;
        options.caseSensitive = cs;
        options.wholeWords = ww;
        env.blockSize = block;
        CollectedFileSearch loop(options, env, run);
        HitList hits;
        const QString base = folder.file(u"Datenbank/db"_s);
        loop.run(base + (utf16 ? u"_MHTtext.txt"_s : u"_UTF8Dokument.txt"_s),
                 base + (utf16 ? u"_MHT_TitelPositionen.txt"_s : u"_Utf8_TitelPositionen.txt"_s),
                 utf16 ? CollectedKind::Utf16 : CollectedKind::Utf8, hits);
        return hits.hits;
    }

    test::TempProgramFolder folder;
    test::MemorySettings settings;
    test::ScriptedDialogs dialogs;
    DocPathMapper mapper;
    MatchEnvironment env;
    app::SearchRunState run;
};

TEST_F(LoopTest, OneEntryPerBlockInFileOrder)
{
    const std::vector<FixtureDocument> docs {
        {u"Q:\\a.htm"_s, u"Das Haus und noch ein Haus"_s},
        {u"Q:\\b.htm"_s, u"kein Treffer"_s},
        {u"Q:\\c.htm"_s, u"ein HAUS"_s},
        {u"Q:\\d.htm"_s, u"Hausboot\r\nam Haus"_s},
    };
    for (const bool utf16 : {false, true}) {
        const QList<Hit> hits = search(docs, u"Haus"_s, false, false, utf16);
        ASSERT_EQ(hits.size(), 3) << utf16;
        // The extension positions count from the match, so they reach into the next block.
        const Hit first {utf16 ? CollectedKind::Utf16 : CollectedKind::Utf8, 0, u"Existiert nicht! Q:\\a.htm"_s,
                         u"Das Haus und noch ein Haus #Q:\\b.htm kein Treffer"_s};
        EXPECT_EQ(hits[0], first);
        EXPECT_EQ(hits[1].path, u"Existiert nicht! Q:\\c.htm"_s);
        EXPECT_TRUE(hits[1].context.startsWith(u"ein HAUS"_s));
        EXPECT_EQ(hits[2].path, u"Existiert nicht! Q:\\d.htm"_s);
        EXPECT_TRUE(hits[2].context.startsWith(u"Hausboot am Haus"_s));
        EXPECT_EQ(hits[2].blockOffset, (utf16 ? 2 : 1) * 85);
        // Whole words: the block's first match is the second line's.
        const QList<Hit> whole = search(docs, u"Haus"_s, false, true, utf16);
        ASSERT_EQ(whole.size(), 3);
        EXPECT_TRUE(whole[2].context.startsWith(u"am Haus"_s)) << whole[2].context.toStdString();
    }
}

TEST_F(LoopTest, ShortLinesAreExtendedByTheFollowingLines)
{
    const std::vector<FixtureDocument> docs {{u"Q:\\a.htm"_s, u"Haus kurz\r\nzweite Zeile\r\ndritte"_s}};
    for (const bool utf16 : {false, true}) {
        const QList<Hit> hits = search(docs, u"Haus"_s, false, false, utf16);
        ASSERT_EQ(hits.size(), 1);
        // The second extension lands on the LF after "zweite Zeile": an empty line, the
        // joining blank stays.
        EXPECT_EQ(hits[0].context, u"Haus kurz zweite Zeile "_s) << utf16;
    }
}

TEST_F(LoopTest, PathCheckChain)
{
    // A real document under the file-system root (Z:), one under the program folder.
    folder.write(u"docs/a.htm"_s, "x"_ba);
    folder.write(u"Texte/b.htm"_s, "x"_ba);
    QDir().mkpath(folder.file(u"docs/ordner.htm"_s));
    const QString zPath = u"Z:"_s + QString(folder.file(u"docs/a.htm"_s)).replace(u'/', u'\\');

    env.replacementDrive = u"Z"_s;
    EXPECT_EQ(checkDocumentPath(zPath, env), folder.file(u"docs/a.htm"_s));
    QString otherDrive = zPath;
    otherDrive[0] = u'C';
    EXPECT_EQ(checkDocumentPath(otherDrive, env), folder.file(u"docs/a.htm"_s));
    EXPECT_EQ(checkDocumentPath(u"C:\\Texte\\b.htm"_s, env), folder.file(u"Texte/b.htm"_s));
    const QString folderPath = u"Z:"_s + QString(folder.file(u"docs/ordner.htm"_s)).replace(u'/', u'\\');
    EXPECT_EQ(checkDocumentPath(folderPath, env), u"Existiert nicht! "_s + folderPath);
    EXPECT_EQ(checkDocumentPath(u"C:\\fehlt.htm"_s, env), u"Existiert nicht! Z:\\fehlt.htm"_s);
    EXPECT_EQ(checkDocumentPath(QString {}, env), u"Existiert nicht! Z"_s);

    // Laufwerk_D maps drive D.
    settings.values[u"Laufwerk_D"_s] = folder.file(u"docs"_s);
    env.replacementDrive = u"D"_s;
    EXPECT_EQ(checkDocumentPath(u"D:\\a.htm"_s, env), folder.file(u"docs/a.htm"_s));
}

TEST_F(LoopTest, MatchBeforeTheFirstBlockGetsNoPath)
{
    const std::vector<FixtureDocument> docs {{u"Q:\\a.htm"_s, u"Haus"_s}};
    const QList<Hit> hits = search(docs, u"Haus"_s, false, false, false, "Vorspann Haus\r\n"_ba);
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(hits[0], (Hit {CollectedKind::Utf8, -1, u"Existiert nicht! Q"_s, u"Vorspann Haus #Q:\\a.htm "_s}));
    EXPECT_EQ(hits[1].blockOffset, 15);
}

TEST_F(LoopTest, KindHitFlagsAndErrors)
{
    const std::vector<FixtureDocument> docs {{u"Q:\\a.htm"_s, u"Haus"_s}};
    env.activeKind = app::DocumentKind::Utf8;
    search(docs, u"Haus"_s, false, false, true);
    EXPECT_TRUE(run.mhtListFlag);
    EXPECT_TRUE(run.utf8ListFlag);
    search(docs, u"Haus"_s);
    EXPECT_FALSE(run.utf8ListFlag);

    MatchOptions options;
    options.searchText = u"Haus"_s;
    CollectedFileSearch loop(options, env, run);
    HitList hits;
    const QString missing = folder.file(u"Datenbank/fehlt_UTF8Dokument.txt"_s);
    loop.run(missing, {}, CollectedKind::Utf8, hits);
    EXPECT_TRUE(hits.hits.isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, u"error"_s);
    EXPECT_EQ(dialogs.shown[0].text, missing + u" kann nicht geöffnet werden."_s);
}

TEST_F(LoopTest, AFileThatShrinksDuringTheScanEndsTheRunWithTheHitsSoFar)
{
    const QString filler = QString(3000, u'x');
    const std::vector<FixtureDocument> docs {
        {u"Q:\\a.htm"_s, u"Haus"_s},
        {u"Q:\\b.htm"_s, filler + u" Haus"_s},
        {u"Q:\\c.htm"_s, u"Haus"_s},
    };
    for (const bool utf16 : {false, true}) {
        const QString collected = folder.file(utf16 ? u"Datenbank/db_MHTtext.txt"_s : u"Datenbank/db_UTF8Dokument.txt"_s);
        // While the scan is inside b's filler, the file loses the rest of it.
        const QString keptText = u"#Q:\\a.htm\r\nHaus\r\n#Q:\\b.htm\r\n"_s + filler.left(1500);
        const qint64 kept = utf16 ? 2 * keptText.size() : keptText.size();
        int pumps = 0;
        env.progress = Progress([&](qint64, qint64) {
            if (++pumps == 6) {
                ASSERT_TRUE(QFile::resize(collected, kept));
            }
        });
        test::Watchdog watchdog(std::chrono::seconds(30), "the scan of a shrinking file");
        const QList<Hit> hits = search(docs, u"Haus"_s, false, false, utf16, {}, 64);
        env.progress = {};
        EXPECT_GE(pumps, 6) << utf16;
        ASSERT_EQ(hits.size(), 1) << utf16;
        EXPECT_EQ(hits[0].path, u"Existiert nicht! Q:\\a.htm"_s);
        EXPECT_TRUE(hits[0].context.startsWith(u"Haus "_s)) << hits[0].context.toStdString();
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

} // namespace
