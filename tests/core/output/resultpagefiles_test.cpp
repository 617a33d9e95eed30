#include "core/output/resultpagefiles.h"

#include "support/tempdir.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::output;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(ResultPageFiles, OldPagesGoAndNewPagesAreWrittenWholeIntoTheirFiles)
{
    test::TempProgramFolder folder;
    const QString temp = folder.file(u"Datenbank/Temp/"_s);
    folder.write(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s, QByteArray(5000, 'a'));
    folder.write(u"Datenbank/Temp/Vespira_Ergebnis2.htm"_s, QByteArray(5000, 'b'));
    folder.write(u"Datenbank/Temp/SplitDokument1.txt"_s, "x"_ba);
    folder.write(u"Datenbank/Temp/ZipTemp/a.htm"_s, "x"_ba);

    ResultPageFiles files(temp);
    files.emptyFolder();
    for (const QString &name : entries(temp))
        EXPECT_TRUE(name.startsWith(u'.')) << name.toStdString(); // nothing a reader would open

    // Shorter than what the file held before: nothing of the old page may remain.
    files.write(u"Vespira_Ergebnis.htm"_s, "neu"_ba);
    files.dropSpares();
    EXPECT_EQ(entries(temp), QStringList {u"Vespira_Ergebnis.htm"_s});
    EXPECT_EQ(folder.read(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s), "neu"_ba);

    // The folder removed while a run goes on is made again.
    files.emptyFolder();
    ASSERT_TRUE(QDir(temp).removeRecursively());
    files.write(u"Vespira_Ergebnis3.htm"_s, "drei"_ba);
    files.dropSpares();
    EXPECT_EQ(entries(temp), QStringList {u"Vespira_Ergebnis3.htm"_s});
    EXPECT_EQ(folder.read(u"Datenbank/Temp/Vespira_Ergebnis3.htm"_s), "drei"_ba);
}

} // namespace
