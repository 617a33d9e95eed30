#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "support/guicontext.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

// The memo mirror lies over the viewer with the painted lines; a scroll bar of its own
// would stand beside the viewer's and scroll the mirror away from what the viewer shows.
TEST(ViewerMemoLayout, OnlyTheViewersScrollBarShowsBesideTheMirror)
{
    test::TestContext t;
    t.context.state.catalog.searchTimeDatabase = u"Lang"_s;
    QByteArray text;
    QByteArray titles;
    for (int i = 0; i < 200; ++i) {
        titles += QByteArray::number(text.size()) + " #Z:\\d\\" + QByteArray::number(i) + ".htm\r\n";
        text += "#Z:\\d\\" + QByteArray::number(i) + ".htm\r\nTitel " + QByteArray::number(i) + "\r\n"
                + QByteArray(300, 'x') + "\r\n";
    }
    t.folder.write(u"Datenbank/Lang.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\d\\\r\n");
    t.folder.write(u"Datenbank/Lang_UTF8Dokument.txt"_s, text);
    t.folder.write(u"Datenbank/Lang_Utf8_TitelPositionen.txt"_s, titles);
    t.settings.values.insert(u"SWeite"_s, u"1100"_s);
    t.settings.values.insert(u"SHoehe"_s, u"600"_s);

    gui::TSuchForm form(t.context);
    form.show();
    QApplication::processEvents();
    form.UTF8LadenButtonClick();
    QApplication::processEvents();

    const QPlainTextEdit *memo = form.ViewerMemo;
    ASSERT_TRUE(memo->isVisible());
    ASSERT_FALSE(memo->toPlainText().isEmpty());
    EXPECT_FALSE(memo->verticalScrollBar()->isVisible());
    EXPECT_FALSE(memo->horizontalScrollBar()->isVisible());

    const QScrollBar *viewerBar = nullptr;
    for (const QScrollBar *bar : form.Viewer->findChildren<QScrollBar *>(Qt::FindDirectChildrenOnly))
        viewerBar = bar;
    ASSERT_NE(viewerBar, nullptr);
    EXPECT_TRUE(viewerBar->isVisible());
    EXPECT_LE(memo->geometry().right(), viewerBar->geometry().left()) << "the viewer's bar stays usable";
}
