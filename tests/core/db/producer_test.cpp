#include "producer/indexer.h"

#include "core/common/error.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"
#include "core/db/titlepositions.h"
#include "core/index/format.h"
#include "core/index/indexfiles.h"

#include "support/tempdir.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

const char Mht[] =
    "From: <Gespeichert>\r\nSubject: Seite\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/related; boundary=\"x\"\r\n\r\n"
    "--x\r\nContent-Type: text/html; charset=\"windows-1252\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
    "<title>Seite</title><p>Fl=FC=DFe und B=E4che</p>\r\n--x--\r\n";
const char Eml[] =
    "From: Anna <anna@example.org>\r\nSubject: =?utf-8?Q?Gr=C3=BC=C3=9Fe?=\r\nDate: Tue, 1 Oct 2024 10:00:00 +0000\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n\r\nSch\xc3\xb6ne Gr\xc3\xbc\xc3\x9f" "e\r\n#Z:\\falsch\r\n";

// A document folder covering the cases a producer gets wrong most easily.
void writeDocuments(const test::TempProgramFolder &docs)
{
    docs.write(u"docs/Ärger mit Blank/Über uns.html"_s,
               "<html><head><title>\xc3\x9c" "ber uns</title></head><body><p>Wir sind ein kleiner Verein.</p></body></html>");
    docs.write(u"docs/alt.HTM"_s, "<meta charset=\"windows-1252\"><title>Alt</title><p>Gr\xfc\xdf" "e aus K\xf6ln</p>");
    docs.write(u"docs/marker.html"_s, "<title>Marke</title><p>#C:\\x</p><pre>#Z:\\home\\y.htm</pre>");
    docs.write(u"docs/leer.html"_s, "");
    docs.write(u"docs/kaputt.xhtml"_s, "<p>offen <b>fett</i><table><td>Zelle</div>");
    docs.write(u"docs/binär.htm"_s, QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20));
    docs.write(u"docs/seite.mht"_s, Mht);
    docs.write(u"docs/post.eml"_s, Eml);
    docs.write(u"docs/notiz.txt"_s, "kein Dokument");
}

producer::IndexOptions optionsFor(const test::TempProgramFolder &folder)
{
    producer::IndexOptions options;
    options.programFolder = folder.path();
    options.name = u"Probe"_s;
    options.folders = {folder.file(u"docs"_s)};
    return options;
}

producer::IndexSummary build(const test::TempProgramFolder &folder, bool replace = false,
                             const producer::IndexProgressFn &progress = {}, QStringList *skipped = nullptr)
{
    producer::IndexOptions options = optionsFor(folder);
    options.replace = replace;
    options.threads = 3;
    return producer::buildDatabase(options, progress, [&](const QString &path, const QString &) {
        if (skipped)
            skipped->append(path);
    });
}

QMap<QString, QByteArray> snapshot(const test::TempProgramFolder &folder)
{
    return test::snapshot(folder.file(u"Datenbank"_s));
}

// The files of a database by name. An index file names the time its collected file was
// written, in its header; the rest of it must match.
QMap<QString, QByteArray> databaseContent(const test::TempProgramFolder &folder)
{
    QMap<QString, QByteArray> files;
    for (auto [path, bytes] : snapshot(folder).asKeyValueRange()) {
        const QString name = QFileInfo(path).fileName();
        files.insert(name, name.endsWith(u".idx"_s) ? bytes.mid(index::HeaderSize) : bytes);
    }
    return files;
}

void touch(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

producer::IndexSummary update(const test::TempProgramFolder &folder, const producer::IndexProgressFn &progress = {})
{
    producer::IndexOptions options = producer::storedOptions(folder.path(), u"probe"_s);
    options.reuse = true;
    options.threads = 3;
    return producer::buildDatabase(options, progress, {});
}

bool crlfOnly(const QByteArray &bytes, int unit)
{
    for (qsizetype i = 0; i < bytes.size(); i += unit) {
        if (bytes[i] == '\n' && (i < unit || bytes[i - unit] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + unit >= bytes.size() || bytes[i + unit] != '\n'))
            return false;
    }
    return true;
}

// Checks that the title positions and the marker lines of one collected file agree.
void checkBlocks(const QByteArray &text, const QByteArray &titleBytes, bool utf16)
{
    const auto titles = db::TitlePositions::parse(titleBytes);
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_EQ(titles.entries().first().offset, 0);
    const QByteArray marker = utf16 ? QByteArray("#\0Z\0:\0\\\0", 8) : QByteArray("#Z:\\");
    qsizetype found = 0;
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
        ASSERT_LT(found, titles.entries().size());
        EXPECT_EQ(titles.entries()[found].offset, at);
        const QString line = u"#"_s + titles.entries()[found].path + u"\r\n"_s;
        const QByteArray expected = utf16 ? QByteArray(reinterpret_cast<const char *>(line.utf16()), line.size() * 2)
                                          : line.toUtf8();
        EXPECT_EQ(text.mid(at, expected.size()), expected);
        if (utf16) {
            EXPECT_EQ(at % 2, 0);
        }
        ++found;
    }
    EXPECT_EQ(found, titles.entries().size()) << "a marker is missing or one more stands in the text";
    EXPECT_TRUE(crlfOnly(titleBytes, 1));
    EXPECT_TRUE(crlfOnly(text, utf16 ? 2 : 1));
}

} // namespace

TEST(Producer, RoundTripOfAMixedFolder)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    QStringList skipped;
    const auto summary = build(folder, false, {}, &skipped);
    EXPECT_EQ(summary.documents, 7);
    EXPECT_EQ(summary.skipped, 1);
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped.first().endsWith(u"binär.htm"_s));

    const QByteArray utf8 = folder.read(u"Datenbank/Probe_UTF8Dokument.txt"_s);
    const QByteArray mht = folder.read(u"Datenbank/Probe_MHTtext.txt"_s);
    checkBlocks(utf8, folder.read(u"Datenbank/Probe_Utf8_TitelPositionen.txt"_s), false);
    checkBlocks(mht, folder.read(u"Datenbank/Probe_MHT_TitelPositionen.txt"_s), true);
    EXPECT_FALSE(utf8.startsWith("\xEF\xBB\xBF"));

    const QString list = db::fileListPath(folder.path(), u"Probe"_s);
    EXPECT_EQ(db::readDriveLetter(list), u'Z');
    const QStringList documents = db::readDocumentPaths(list);
    ASSERT_EQ(documents.size(), 7);
    EXPECT_TRUE(std::is_sorted(documents.begin(), documents.end()));
    const QString blankPath = producer::windowsPath(folder.file(u"docs/Ärger mit Blank/Über uns.html"_s));
    EXPECT_TRUE(documents.contains(blankPath));
    EXPECT_TRUE(crlfOnly(folder.read(u"Datenbank/Probe.dat"_s), 1));

    const auto titles = db::TitlePositions::load(db::titlePositionsPath(folder.path(), u"Probe"_s, db::TextKind::Utf8));
    // What each kind of document becomes is the extractors' test; here that it lands in its block.
    EXPECT_TRUE(QString::fromUtf8(utf8).contains(u"\r\nÜber uns\r\nWir sind ein kleiner Verein.\r\n"_s));
    EXPECT_EQ(titles.pathAt(utf8.indexOf("Wir sind")), blankPath);
    // The empty document is a block of its marker line alone.
    const QByteArray emptyMarker = "#" + producer::windowsPath(folder.file(u"docs/leer.html"_s)).toUtf8() + "\r\n#";
    EXPECT_TRUE(utf8.contains(emptyMarker));

    const QString mail = QStringDecoder(QStringDecoder::Utf16LE).decode(mht);
    EXPECT_TRUE(mail.contains(u"Schöne Grüße\r\n# Z:\\falsch\r\n"_s));
    EXPECT_TRUE(mail.contains(u"Flüße und Bäche"_s));
}

// That a rebuild gives the same files is the update's test.
TEST(Producer, ReplaceRemovesFilesTheNewDatabaseDoesNotHave)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    build(folder);
    const auto first = snapshot(folder);
    EXPECT_THROW(build(folder), Error); // without replace
    EXPECT_EQ(snapshot(folder), first);
    folder.write(u"Datenbank/Probe_Phrasen_Woerter_Utf8Liste.txt"_s, "alt");
    folder.write(u"Datenbank/Suchwoerterlisten/Probe_Utf8_Suchwoerterliste.txt"_s, "bleibt");
    QFile::remove(folder.file(u"docs/seite.mht"_s));
    QFile::remove(folder.file(u"docs/post.eml"_s));
    build(folder, true);
    EXPECT_FALSE(folder.exists(u"Datenbank/Probe_MHTtext.txt"_s));
    EXPECT_FALSE(folder.exists(u"Datenbank/Probe_MHT_TitelPositionen.txt"_s));
    EXPECT_FALSE(folder.exists(u"Datenbank/Probe_MHTTrigramme.idx"_s));
    EXPECT_FALSE(folder.exists(u"Datenbank/Probe_Phrasen_Woerter_Utf8Liste.txt"_s));
    EXPECT_TRUE(folder.exists(u"Datenbank/Suchwoerterlisten/Probe_Utf8_Suchwoerterliste.txt"_s));
}

TEST(Producer, ReplacingOneSpellingLeavesTheOtherDatabaseAlone)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    const QStringList other {u"Datenbank/probe.dat"_s, u"Datenbank/probe_UTF8Dokument.txt"_s,
                             u"Datenbank/probe_Phrasen_Woerter_Utf8Liste.txt"_s};
    for (const QString &f : other)
        folder.write(f, "andere");
    folder.write(u"Datenbank/Probe.dat"_s, "alt");
    build(folder, true);
    for (const QString &f : other)
        EXPECT_EQ(folder.read(f), "andere") << f.toStdString();
    EXPECT_TRUE(folder.exists(u"Datenbank/Probe_UTF8Dokument.txt"_s));
}

TEST(Producer, RefusesBadInputAndSkipsWhatWouldOverflow)
{
    test::TempProgramFolder folder;
    producer::IndexOptions options = optionsFor(folder);
    for (const QString &name : {u""_s, u"a/b"_s, u"x_mht"_s, u"Y_TEMP"_s, u"a.dat.b"_s})
        EXPECT_FALSE(producer::checkDatabaseName(name).isEmpty()) << name.toStdString();
    EXPECT_THROW(producer::buildDatabase(options, {}, {}), Error); // no such folder
    folder.write(u"docs/a.txt"_s, "x");
    EXPECT_THROW(producer::buildDatabase(options, {}, {}), Error); // no documents

    folder.write(u"docs/a.html"_s, "<p>kurz</p>");
    folder.write(u"docs/b.html"_s, "<p>" + QByteArray(200, 'x') + "</p>");
    options.maxCollectedBytes = 120;
    QStringList skipped;
    const auto summary = producer::buildDatabase(options, {}, [&](const QString &p, const QString &) { skipped << p; });
    EXPECT_EQ(summary.documents, 1);
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped.first().endsWith(u"b.html"_s));
    EXPECT_EQ(QDir(folder.file(u"Datenbank"_s)).entryList(QDir::Files | QDir::Hidden).size(), 6);
}

TEST(ProducerUpdate, GivesWhatARebuildGivesAfterChangesRemovalsAdditionsAndRenames)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    build(folder);
    const QDateTime later = QDateTime::currentDateTimeUtc().addSecs(60);
    folder.write(u"docs/alt.HTM"_s, "<meta charset=\"windows-1252\"><title>Neu</title><p>Gr\xfc\xdf" "e aus Bonn</p>");
    touch(folder.file(u"docs/alt.HTM"_s), later); // same size: only the time tells
    folder.write(u"docs/seite.mht"_s, QByteArray(Mht).replace("B=E4che", "Seen"));
    QFile::remove(folder.file(u"docs/leer.html"_s));
    ASSERT_TRUE(QFile::rename(folder.file(u"docs/marker.html"_s), folder.file(u"docs/zeichen.html"_s)));
    folder.write(u"docs/neu/erst.html"_s, "<title>Erst</title><p>Ganz neu</p>");
    folder.write(u"docs/neu/brief.eml"_s, Eml);

    const auto summary = update(folder);
    EXPECT_FALSE(summary.cancelled);
    EXPECT_EQ(summary.name, u"Probe"_s);
    EXPECT_EQ(summary.documents, 8);
    EXPECT_EQ(summary.reused, 3); // Über uns, kaputt, post
    EXPECT_EQ(summary.removed, 2);  // leer, marker
    EXPECT_EQ(summary.indexesCarried, 2);
    EXPECT_TRUE(QString::fromUtf8(folder.read(u"Datenbank/Probe_UTF8Dokument.txt"_s)).contains(u"Grüße aus Bonn"_s));

    test::TempProgramFolder other;
    producer::IndexOptions options = optionsFor(folder);
    options.programFolder = other.path();
    producer::buildDatabase(options, {}, {});
    EXPECT_EQ(databaseContent(folder), databaseContent(other));
    for (const db::TextKind kind : {db::TextKind::Utf8, db::TextKind::Mht})
        EXPECT_EQ(index::openIndex(folder.path(), u"Probe"_s, kind).status(), index::IndexStatus::Current);

    // An index that fails its checks on the way is built from the text instead.
    const QByteArray idx = folder.read(u"Datenbank/Probe_UTF8Trigramme.idx"_s);
    const auto footer = index::decodeFooter(QByteArrayView(idx).last(index::FooterSize));
    ASSERT_TRUE(footer);
    QByteArray broken = idx;
    broken[footer->postingsOffset + 1] = char(broken[footer->postingsOffset + 1] ^ 0x55);
    folder.write(u"Datenbank/Probe_UTF8Trigramme.idx"_s, broken);
    folder.write(u"docs/neu/erst.html"_s, "<title>Erst</title><p>Wieder anders</p>");
    touch(folder.file(u"docs/neu/erst.html"_s), later);
    const auto repaired = update(folder);
    EXPECT_EQ(repaired.indexesCarried, 1);
    options.replace = true;
    producer::buildDatabase(options, {}, {});
    EXPECT_EQ(databaseContent(folder), databaseContent(other));

    // Texts from another extraction are never taken over.
    QByteArray stamps = folder.read(u"Datenbank/Probe_Dokumentstand.txt"_s);
    ASSERT_TRUE(stamps.startsWith("EXTRAKTOR="));
    folder.write(u"Datenbank/Probe_Dokumentstand.txt"_s, stamps.replace(0, stamps.indexOf('\r'), "EXTRAKTOR=1"));
    const auto fresh = update(folder);
    EXPECT_EQ(fresh.reused, 0);
    EXPECT_EQ(fresh.indexesCarried, 0);
    EXPECT_EQ(databaseContent(folder), databaseContent(other));
}

// A stopped full build is the index command's test (signals) and the database dialog's (its button).
TEST(ProducerUpdate, StoppedUpdateLeavesTheOldDatabaseByteForByte)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    build(folder);
    const auto before = snapshot(folder);
    folder.write(u"docs/neu.html"_s, "<p>neu</p>");
    QFile::remove(folder.file(u"docs/alt.HTM"_s));
    int calls = 0;
    EXPECT_TRUE(update(folder, [&](const producer::IndexProgress &) { return ++calls < 4; }).cancelled);
    EXPECT_EQ(snapshot(folder), before);
    QDir(folder.file(u"docs"_s)).removeRecursively();
    EXPECT_THROW(update(folder), Error);
    EXPECT_EQ(snapshot(folder), before);
}

TEST(ProducerUpdate, KeepsFoldersAndKindsWithTheDatabase)
{
    test::TempProgramFolder folder;
    writeDocuments(folder);
    folder.write(u"mehr/x.html"_s, "<p>x</p>");
    producer::IndexOptions options = optionsFor(folder);
    options.folders << folder.file(u"mehr/"_s);
    options.kinds.eml = false;
    EXPECT_EQ(producer::buildDatabase(options, {}, {}).documents, 7);
    const QString docs = folder.file(u"docs"_s);
    const QString mehr = folder.file(u"mehr"_s);
    EXPECT_EQ(folder.read(u"Datenbank/Probe_Quellen.txt"_s),
              "ORDNER=" + docs.toUtf8() + "\r\nORDNER=" + mehr.toUtf8() + "\r\nARTEN=HTML;MHT\r\n");
    EXPECT_TRUE(folder.read(u"Datenbank/Probe.dat"_s)
                    .startsWith(QByteArray("PFAD_UND_ENDUNGEN=" + producer::windowsPath(docs).toUtf8()
                                           + ";htm;html;xhtml;mht;mhtml\r\n")));
    auto stored = producer::storedOptions(folder.path(), u"Probe"_s);
    EXPECT_EQ(stored.folders, QStringList({docs, mehr}));
    EXPECT_EQ(stored.kinds, (producer::DocumentKinds {true, true, false}));
    EXPECT_TRUE(stored.replace);

    // A database made before the folders were kept: its header names the first folder.
    QFile::remove(folder.file(u"Datenbank/Probe_Quellen.txt"_s));
    stored = producer::storedOptions(folder.path(), u"Probe"_s);
    EXPECT_EQ(stored.folders, QStringList({docs}));
    EXPECT_EQ(stored.kinds, (producer::DocumentKinds {true, true, false}));
    folder.write(u"Datenbank/Fremd.dat"_s, "PFAD_UND_ENDUNGEN=C:\\Daten;htm\r\n");
    EXPECT_THROW(producer::storedOptions(folder.path(), u"Fremd"_s), Error);
    EXPECT_THROW(producer::storedOptions(folder.path(), u"Nichts"_s), Error);
}
