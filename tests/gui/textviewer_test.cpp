#include "gui/searchwindow/textviewer.h"
#include "support/tempdir.h"

#include <QScrollBar>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using vespira::gui::TTextViewer;
using vespira::searchwindow::MirrorMode;
using vespira::searchwindow::ViewerMode;

namespace {

class TextViewerTest : public ::testing::Test
{
protected:
    TextViewerTest()
    {
        viewer.resize(500, 300);
        viewer.setErrorHandler([this](const QString &text) { errors << text; });
        viewer.setClipboardSink([this](const QString &text) { clipboard = text; });
        QObject::connect(&viewer, &TTextViewer::linePainted, [this](const QString &l) { mirror << l; });
        QObject::connect(&viewer, &TTextViewer::paintStarted, [this](qint64 p) {
            mirror.clear();
            painted = p;
        });
    }

    QString write(const QByteArray &bytes, const QString &name = u"t.txt"_s) { return folder.write(name, bytes); }

    void paint() { (void)viewer.grab(); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, k, m);
        QCoreApplication::sendEvent(&viewer, &e);
    }

    vespira::test::TempProgramFolder folder;
    TTextViewer viewer;
    QStringList errors;
    QStringList mirror;
    QString clipboard;
    qint64 painted = -1;
};

// How the mirror decodes is the model's test; here that a paint hands the mirror its lines.
TEST_F(TextViewerTest, APaintHandsTheMirrorTheDecodedLines)
{
    viewer.setMirrorMode(MirrorMode::Utf8);
    ASSERT_TRUE(viewer.openFile(write("Preis: 5 \xE2\x82\xAC\r\nzweite")));
    paint();
    EXPECT_EQ(mirror, (QStringList {u"Preis: 5 €"_s, u"zweite"_s}));
}

TEST_F(TextViewerTest, KeysScrollAndTheScrollBarFollows)
{
    QByteArray bytes;
    for (int i = 0; i < 500; ++i)
        bytes += "Zeile " + QByteArray::number(i) + "\n";
    ASSERT_TRUE(viewer.openFile(write(bytes)));
    viewer.show();
    EXPECT_TRUE(viewer.verticalScrollBar()->isVisible());
    QList<int> scrolled;
    QObject::connect(&viewer, &TTextViewer::scrolled, [&] { scrolled << 1; });
    key(Qt::Key_End, Qt::ControlModifier);
    paint();
    EXPECT_EQ(mirror.last(), u"Zeile 499"_s);
    EXPECT_EQ(viewer.verticalScrollBar()->value(), viewer.verticalScrollBar()->maximum());
    key(Qt::Key_Home, Qt::ControlModifier);
    key(Qt::Key_Down);
    paint();
    EXPECT_EQ(mirror.value(0), u"Zeile 1"_s);
    EXPECT_EQ(painted, 8);
    EXPECT_TRUE(scrolled.isEmpty()); // keys are no scroll-bar or wheel scrolling

    QWheelEvent wheel(QPointF(10, 10), viewer.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&viewer, &wheel);
    EXPECT_EQ(scrolled.size(), 1);
    EXPECT_EQ(viewer.viewPosition(), bytes.indexOf("Zeile 4\n"));

    viewer.verticalScrollBar()->setValue(viewer.verticalScrollBar()->maximum() / 2);
    EXPECT_EQ(scrolled.size(), 2);
    EXPECT_GT(viewer.viewPosition(), bytes.size() / 3);
}

// On a large file a step of the scroll bar spans many lines; the wheel over the bar must
// still scroll lines, as over the text.
TEST_F(TextViewerTest, WheelOverTheScrollBarScrollsLines)
{
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += "Zeile " + QByteArray::number(i).rightJustified(6, '0') + "\n";
    ASSERT_TRUE(viewer.openFile(write(bytes)));
    viewer.show();
    QScrollBar *bar = viewer.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QPointF at(bar->width() / 2, bar->height() / 2);
    QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(bar, &wheel);
    EXPECT_EQ(viewer.viewPosition(), 3 * 13);
    EXPECT_EQ(bar->value(), viewer.model().scrollValue());
}

TEST_F(TextViewerTest, CtrlCCopiesTheSelectionAndTheMenuCarriesIt)
{
    const QByteArray bytes = QByteArray("Zeile 1\nEnde\0Text", 17);
    ASSERT_TRUE(viewer.openFile(write(bytes)));
    viewer.selectLine(bytes.indexOf("Text"));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard, u"Ende Text"_s);

    QStringList carried;
    QObject::connect(&viewer, &TTextViewer::transferToSearchBar, [&](const QString &t) { carried << t; });
    viewer.transferAction()->trigger();
    EXPECT_EQ(carried, QStringList {u"Ende Text"_s});
}

// What an empty or unreadable file shows is the model's test; here that the error reaches
// the window and that keys on a file without a character neither scroll nor fail.
TEST_F(TextViewerTest, OpenFailureReachesTheErrorHandlerAndAnEmptyFileIgnoresKeys)
{
    EXPECT_FALSE(viewer.openFile(folder.file(u"fehlt.txt"_s)));
    EXPECT_EQ(errors, QStringList {u"Cannot open file: \""_s + folder.file(u"fehlt.txt"_s) + u"\""_s});

    viewer.setMode(ViewerMode::vbmodeUnicode);
    QList<bool> fits;
    QObject::connect(&viewer, &TTextViewer::scrollBarsUpdated, [&](bool f) { fits << f; });
    ASSERT_TRUE(viewer.openFile(write("x", u"one.txt"_s))); // one byte: no UTF-16 character
    for (int key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_End})
        viewer.processKey(key, Qt::ControlModifier);
    paint();
    EXPECT_TRUE(mirror.isEmpty());
    EXPECT_EQ(painted, 0);
    EXPECT_EQ(fits.value(fits.size() - 1, false), true) << "no scroll bars for a file that fits";
    EXPECT_EQ(errors.size(), 1);
}

} // namespace
