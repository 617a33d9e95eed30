// A collected text of 5 GB, most of it a hole in a sparse file: offsets beyond 4 GB must
// survive every step from the view to the find.

#include "core/searchwindow/findinviewer.h"
#include "core/searchwindow/viewermodel.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vespira::searchwindow;

namespace {

constexpr qint64 FiveGigabytes = 5LL * 1024 * 1024 * 1024;

TEST(LargeFile, SparseFiveGigabytesAreViewedAndFoundInToTheEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Gross_UTF8Dokument.txt"));
    const QByteArray head = "#Z:\\a.htm\r\nAnfang mit Nadel\r\n";
    const QByteArray tail = "\r\n#Z:\\b.htm\r\nletzte Zeile mit NADEL\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        if (!f.seek(FiveGigabytes - tail.size()) || f.write(tail) != tail.size())
            GTEST_SKIP() << "no room for a sparse file of 5 GB here";
    }
    ASSERT_EQ(QFileInfo(path).size(), FiveGigabytes);

    ViewerModel m;
    m.setWrapWidth(80);
    m.setPageLines(10);
    ASSERT_TRUE(m.open(path));
    EXPECT_EQ(m.fileSize(), FiveGigabytes);
    ASSERT_TRUE(m.scrollToEnd());
    const QList<ViewLine> last = m.visibleLines(m.pageLines() + 1);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_EQ(last.back().text, QStringLiteral("letzte Zeile mit NADEL"));
    EXPECT_GT(last.back().start, 4LL * 1024 * 1024 * 1024);
    EXPECT_FALSE(m.readFailed());
    EXPECT_EQ(m.scrollMaximum(), ViewerModel::kMaxScrollSteps);
    EXPECT_EQ(m.scrollValue(), ViewerModel::kMaxScrollSteps);
    m.scrollToValue(1);
    EXPECT_GT(m.viewPosition(), 0);
    EXPECT_LT(m.viewPosition(), FiveGigabytes / 30000);
    ASSERT_TRUE(m.scrollToOffset(FiveGigabytes - 10)); // inside the last line: that line from its start
    EXPECT_EQ(m.viewPosition(), FiveGigabytes - 24);

    // A bookmark in the hole: a line of blanks at the place asked for, broken at 2048.
    ASSERT_TRUE(m.scrollToOffset(FiveGigabytes / 2));
    const QList<ViewLine> middle = m.visibleLines(1);
    ASSERT_EQ(middle.size(), 1);
    EXPECT_LE(middle.front().start, FiveGigabytes / 2);
    EXPECT_GT(middle.front().start, FiveGigabytes / 2 - 2048);

    MappedFileSearch search(path, "nadel");
    const qint64 first = search.next(0);
    EXPECT_EQ(first, head.indexOf("Nadel"));
    EXPECT_EQ(search.next(first + 1), FiveGigabytes - tail.size() + tail.indexOf("NADEL"));
    EXPECT_FALSE(search.failed());

    ASSERT_TRUE(m.setSelection(FiveGigabytes - 7, 5, true));
    EXPECT_EQ(m.selectedText(), QStringLiteral("NADEL"));
}

} // namespace
