#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "support/guicontext.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

namespace {

// A search window of 1100 x 600 showing the UTF-8 text of the database "Memo".
class ViewerMemoLayout : public ::testing::Test
{
protected:
    void load(const QByteArray &text, const QByteArray &titles = {})
    {
        t.context.state.catalog.searchTimeDatabase = u"Memo"_s;
        t.folder.write(u"Datenbank/Memo.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\d\\\r\n");
        t.folder.write(u"Datenbank/Memo_UTF8Dokument.txt"_s, text);
        if (!titles.isEmpty())
            t.folder.write(u"Datenbank/Memo_Utf8_TitelPositionen.txt"_s, titles);
        t.settings.values.insert(u"SWeite"_s, u"1100"_s);
        t.settings.values.insert(u"SHoehe"_s, u"600"_s);
        form.show();
        QApplication::processEvents();
        form.UTF8LadenButtonClick();
        QApplication::processEvents();
        ASSERT_TRUE(memo()->isVisible());
        ASSERT_FALSE(memo()->toPlainText().isEmpty());
    }
    QPlainTextEdit *memo() const { return form.ViewerMemo; }

    // The last memo line the user sees whole (lines follow one another at a fixed pitch).
    QString lastWholeMemoLine() const
    {
        const auto top = [&](const QTextBlock &block) { return memo()->cursorRect(QTextCursor(block)).top(); };
        const QTextBlock first = memo()->document()->firstBlock();
        const int pitch = top(first.next()) - top(first);
        QString last;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (top(block) + pitch > memo()->viewport()->height())
                break;
            last = block.text();
        }
        return last;
    }

    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(memo(), &press);
    }

    test::TestContext t;
    gui::TSuchForm form {t.context};
};

} // namespace

// A scroll bar of the memo's own would stand beside the viewer's and scroll the mirror
// away from what the viewer shows.
TEST_F(ViewerMemoLayout, OnlyTheViewersScrollBarShowsBesideTheMirror)
{
    QByteArray text;
    QByteArray titles;
    for (int i = 0; i < 200; ++i) {
        titles += QByteArray::number(text.size()) + " #Z:\\d\\" + QByteArray::number(i) + ".htm\r\n";
        text += "#Z:\\d\\" + QByteArray::number(i) + ".htm\r\nTitel " + QByteArray::number(i) + "\r\n"
                + QByteArray(300, 'x') + "\r\n";
    }
    load(text, titles);
    EXPECT_FALSE(memo()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(memo()->horizontalScrollBar()->isVisible());

    const QScrollBar *viewerBar = nullptr;
    for (const QScrollBar *bar : form.Viewer->findChildren<QScrollBar *>(Qt::FindDirectChildrenOnly))
        viewerBar = bar;
    ASSERT_NE(viewerBar, nullptr);
    EXPECT_TRUE(viewerBar->isVisible());
    EXPECT_LE(memo()->geometry().right(), viewerBar->geometry().left()) << "the viewer's bar stays usable";
}

// The user reads the memo, the viewer pages: the memo must show the viewer's page exactly,
// so paging neither skips nor hides lines.
TEST_F(ViewerMemoLayout, TheMirrorShowsExactlyTheViewersPage)
{
    QByteArray text;
    for (int i = 0; i < 500; ++i)
        text += "Zeile " + QByteArray::number(i) + "\r\n";
    text.chop(2);
    load(text);

    const QString before = lastWholeMemoLine();
    ASSERT_TRUE(before.startsWith(u"Zeile "_s));
    sendKey(Qt::Key_PageDown);
    const QString first = memo()->document()->firstBlock().text();
    EXPECT_EQ(first, u"Zeile %1"_s.arg(before.mid(6).toInt() + 1)) << "the page ended at " << before.toStdString();

    sendKey(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(lastWholeMemoLine(), u"Zeile 499"_s);
    EXPECT_EQ(memo()->verticalScrollBar()->value(), 0);

    // The wheel over the memo scrolls the viewer, three lines a notch.
    sendKey(Qt::Key_Home, Qt::ControlModifier);
    const QPointF at(20, 20);
    QWheelEvent wheel(at, memo()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(memo()->viewport(), &wheel);
    EXPECT_EQ(form.Viewer->viewPosition(), text.indexOf("Zeile 3\r\n"));
    EXPECT_EQ(memo()->verticalScrollBar()->value(), 0);
}
