#include "core/app/catalog.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"
#include "core/db/titlepositions.h"

#include "core/common/error.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

TEST(FileListHeader, DriveLetterFromHeaderAndSecondLine)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Archiv.DAT"_s,
                 "PFAD_UND_ENDUNGEN= \tZ:\\home\\anna;htm;html\r\nZ:\\home\\anna\\Übersicht a.htm\r\nZ:\\home\\anna\\b.htm\r\n");
    const QString list = db::fileListPath(folder.path(), u"Archiv"_s);
    EXPECT_TRUE(list.endsWith(u"Archiv.DAT"_s));
    EXPECT_EQ(db::readHeader(list), u"Z:\\home\\anna;htm;html"_s);
    EXPECT_EQ(db::readDriveLetter(list), u'Z');
    EXPECT_EQ(db::documentMarker(db::readDriveLetter(list)), u"#Z:\\"_s);
    EXPECT_EQ(db::readFirstDocumentPath(list), u"Z:\\home\\anna\\Übersicht a.htm"_s);
    EXPECT_EQ(db::readDocumentPaths(list).size(), 2);
}

TEST(FileListHeader, KeyRemovedWhereItStandsAndEmptyHeader)
{
    // The key need not open the line; whatever is left is the header.
    EXPECT_EQ(db::parseHeaderLine("\x01 PFAD_UND_ENDUNGEN=C:\\x\r\nD:\\y"), u"C:\\x"_s);
    EXPECT_EQ(db::parseHeaderLine("D:\\ohne Schluessel\n"), u"D:\\ohne Schluessel"_s);
    EXPECT_EQ(db::parseHeaderLine("PFAD_UND_ENDUNGEN=\r\n"), QString());
    EXPECT_EQ(db::documentMarker(QChar()), u"#:\\"_s);

    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Leer.dat"_s, "PFAD_UND_ENDUNGEN=");
    const QString list = db::fileListPath(folder.path(), u"Leer"_s);
    EXPECT_TRUE(db::readDriveLetter(list).isNull());
    EXPECT_EQ(db::readFirstDocumentPath(list), QString());
}

TEST(FileListHeader, MissingFileIsAGermanError)
{
    test::TempProgramFolder folder;
    try {
        db::readDriveLetter(db::fileListPath(folder.path(), u"Fehlt"_s));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(u"Fehlt.dat"_s));
        EXPECT_TRUE(e.message().contains(u"existiert nicht"_s));
    }
}

TEST(DatabaseFiles, NamesResolveWithoutCase)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/archiv_utf8dokument.TXT"_s, "x");
    EXPECT_EQ(db::collectedTextPath(folder.path(), u"Archiv"_s, db::TextKind::Utf8),
              folder.file(u"Datenbank/archiv_utf8dokument.TXT"_s));
    EXPECT_EQ(db::titlePositionsPath(folder.path(), u"Archiv"_s, db::TextKind::Mht),
              folder.file(u"Datenbank/Archiv_MHT_TitelPositionen.txt"_s));

    // The producer replaces the files the catalog deletes (whose list is pinned there).
    QStringList deleted;
    for (const QString &file : app::databaseFiles(folder.path(), u"A"_s))
        deleted << file.mid(folder.path().size());
    EXPECT_EQ(db::allRelativeFiles(u"A"_s), deleted);
}

TEST(DatabaseFiles, AnotherDatabaseSpelledOtherwiseKeepsItsFiles)
{
    test::TempProgramFolder folder;
    folder.write(u"Datenbank/Archiv.dat"_s, "x");
    folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, "x");
    folder.write(u"Datenbank/ARCHIV.dat"_s, "x");
    EXPECT_EQ(db::collectedTextPath(folder.path(), u"ARCHIV"_s, db::TextKind::Utf8),
              folder.file(u"Datenbank/ARCHIV_UTF8Dokument.txt"_s));
    EXPECT_EQ(db::fileListPath(folder.path(), u"ARCHIV"_s), folder.file(u"Datenbank/ARCHIV.dat"_s));
    EXPECT_EQ(db::fileListPath(folder.path(), u"archiv"_s), folder.file(u"Datenbank/archiv.dat"_s)); // which one?

    test::TempProgramFolder one; // a single database: any spelling of its name means it
    one.write(u"Datenbank/Archiv.dat"_s, "x");
    EXPECT_EQ(db::fileListPath(one.path(), u"archiv"_s), one.file(u"Datenbank/Archiv.dat"_s));
}

TEST(TitlePositions, LinesSplitAtFirstBlankAndFirstBlankHash)
{
    const auto t = db::TitlePositions::parse(
        "0 #Z:\\a b\\mit Blank.htm\r\n"
        "120 #Z:\\x #y.htm\r\n"
        "abc #Z:\\kaputt.htm\r\n"
        " #Z:\\ohne Zahl.htm\r\n"
        "\r\n"
        "300 #Z:\\\xc3\xa4rger.htm\r\n");
    ASSERT_EQ(t.entries().size(), 3);
    EXPECT_EQ(t.entries()[0].offset, 0);
    EXPECT_EQ(t.entries()[0].path, u"Z:\\a b\\mit Blank.htm"_s);
    EXPECT_EQ(t.entries()[1].path, u"Z:\\x #y.htm"_s);
    EXPECT_EQ(t.entries()[2].path, u"Z:\\ärger.htm"_s);
    // A line without " #" is its own path; one without a blank counts as offset 0.
    const auto odd = db::TitlePositions::parse("5 Z:\\x.htm\nZ:\\y.htm");
    ASSERT_EQ(odd.entries().size(), 2);
    EXPECT_EQ(odd.entries()[0].path, u"5 Z:\\x.htm"_s);
    EXPECT_EQ(odd.entries()[1].offset, 0);
}

TEST(TitlePositions, LookupTiesBeforeFirstAndLast)
{
    const auto t = db::TitlePositions::parse("10 #A\r\n50 #B\r\n90 #C\r\n");
    EXPECT_EQ(t.pathAt(0), QString());  // before the first offset
    EXPECT_EQ(t.pathAt(9), QString());
    EXPECT_EQ(t.pathAt(10), u"A"_s);
    EXPECT_EQ(t.pathAt(49), u"A"_s);
    EXPECT_EQ(t.pathAt(50), u"A"_s);    // a block start belongs to the block before
    EXPECT_EQ(t.pathAt(51), u"B"_s);
    EXPECT_EQ(t.pathAt(90), u"B"_s);
    EXPECT_EQ(t.pathAt(91), u"C"_s);
    EXPECT_EQ(t.pathAt(1'000'000'000'000), u"C"_s);
    EXPECT_EQ(t.blockAt(60)->offset, 50);
    EXPECT_EQ(t.blockAt(60)->index, 1);
    EXPECT_FALSE(db::TitlePositions().blockAt(5).has_value());
    EXPECT_EQ(db::TitlePositions::load(u"/nonexistent/titles.txt"_s).pathAt(5), QString());
}

TEST(TitlePositions, EqualOffsetsAndEmptyPaths)
{
    // Two blocks at the same offset: the first one with a path wins; an empty path is passed over.
    const auto t = db::TitlePositions::parse("0 #\r\n0 #A\r\n0 #B\r\n40 #C\r\n40 #\r\n");
    EXPECT_EQ(t.pathAt(0), u"A"_s);
    EXPECT_EQ(t.pathAt(20), u"B"_s);
    EXPECT_EQ(t.pathAt(40), u"B"_s);
    EXPECT_EQ(t.pathAt(41), QString()); // the last line fits alone and has no path
}

TEST(TitlePositions, OffsetsOutOfOrderAreWalkedLineByLine)
{
    // A block fits from its offset up to the next line's offset; B's block is 10 to 90.
    const auto t = db::TitlePositions::parse("50 #A\r\n10 #B\r\n90 #C\r\n");
    EXPECT_EQ(t.pathAt(5), QString());
    EXPECT_EQ(t.pathAt(60), u"B"_s);
    EXPECT_EQ(t.pathAt(95), u"C"_s);
}

namespace {

// The table as its lines read one by one: each line up to its first CR or LF, split at
// its first blank, the path after the first " #"; lookups walk the lines in order.
struct ReferenceTitles
{
    explicit ReferenceTitles(const QByteArray &bytes)
    {
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype end = start;
            while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
                ++end;
            const QByteArray line = bytes.mid(start, end - start);
            start = end < bytes.size() && bytes[end] == '\r' ? end + 1 : end;
            start = start < bytes.size() && bytes[start] == '\n' ? start + 1 : start;
            if (line.isEmpty())
                continue;
            const qsizetype blank = line.indexOf(' ');
            qint64 offset = 0;
            if (blank >= 0) {
                const QByteArray digits = line.left(blank);
                const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
                if (digits.isEmpty() || digits.size() > 18 || !std::all_of(digits.begin(), digits.end(), isDigit))
                    continue;
                offset = digits.toLongLong();
            }
            const qsizetype hash = line.indexOf(" #");
            lines.push_back({offset, QString::fromUtf8(hash >= 0 ? line.mid(hash + 2) : line)});
        }
    }
    QString pathAt(qint64 position) const
    {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].first <= position && (i + 1 == lines.size() || lines[i + 1].first >= position)
                && !lines[i].second.isEmpty())
                return lines[i].second;
        return {};
    }
    std::vector<std::pair<qint64, QString>> lines;
};

} // namespace

TEST(TitlePositions, MappedTableAnswersAsTheLinesReadOneByOne)
{
    // Many lines (the table keeps where every 64th starts), of every length around the
    // 16 bytes read at a time, with lone CR and LF line ends, empty and broken lines.
    QByteArray bytes;
    qint64 offset = 0;
    for (int i = 0; i < 700; ++i) {
        offset += i % 7 == 0 ? 0 : 37;
        const QByteArray path = QByteArray(i % 23, 'a' + char(i % 26)) + (i % 11 == 0 ? "" : ".htm");
        const char *const ends[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
        switch (i % 17) {
        case 3: bytes += "x" + QByteArray::number(offset) + " #broken"; break;
        case 5: bytes += "Z:\\ohne_Blank.htm"; break;
        case 8: bytes += "1234567890123456789 #neunzehn"; break;
        case 9: bytes += QByteArray::number(offset) + " " + path; break;
        default: bytes += QByteArray::number(offset) + " #" + path;
        }
        bytes += ends[i % 4];
    }
    test::TempProgramFolder folder;
    folder.write(u"t.txt"_s, bytes);
    const ReferenceTitles reference(bytes);
    const auto mapped = db::TitlePositions::map(folder.file(u"t.txt"_s));
    ASSERT_EQ(mapped.entries().size(), qsizetype(reference.lines.size()));
    for (size_t i = 0; i < reference.lines.size(); ++i) {
        EXPECT_EQ(mapped.entries()[qsizetype(i)].offset, reference.lines[i].first) << i;
        EXPECT_EQ(mapped.entries()[qsizetype(i)].path, reference.lines[i].second) << i;
    }
    for (qint64 p = -1; p < offset + 40; p += 5)
        ASSERT_EQ(mapped.pathAt(p), reference.pathAt(p)) << p;
    // Out of order from one line on: every lookup walks the lines.
    const QByteArray late = bytes + "5 #spät\r\n";
    const auto shuffled = db::TitlePositions::parse(late);
    const ReferenceTitles shuffledReference(late);
    for (qint64 p = -1; p < offset + 40; p += 5)
        ASSERT_EQ(shuffled.pathAt(p), shuffledReference.pathAt(p)) << p;
}
