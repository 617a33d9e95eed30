#pragma once

#include "core/searchwindow/viewermodel.h"

#include <QList>
#include <QMargins>
#include <QTimer>
#include <QWidget>

#include <functional>

class QMenu;
class QAction;
class QScrollBar;

namespace vespira::gui {

// The paged text viewer: shows a file of any size over a searchwindow::ViewerModel, with
// keys, wheel, drag selection, middle-button scrolling and a scroll bar of at most 32767
// steps. It never reads the file whole.
//
// Hooks for the search window's memo mirror, fired at every repaint in this order:
// paintStarted(view position), linePainted(line converted by the mirror mode) for every line
// drawn, paintFinished(). The receiver decides whether its mirror is suspended.
// scrollBarsUpdated(wholeTextFits) follows every layout change (memo width rule).
// Errors go to the error handler (default: a message box captioned "Viewer").
class TTextViewer : public QWidget
{
    Q_OBJECT
public:
    using ViewerMode = searchwindow::ViewerMode;
    using MirrorMode = searchwindow::MirrorMode;

    explicit TTextViewer(QWidget *parent = nullptr);
    ~TTextViewer() override;

    // Opens a file (the same name as the open one does nothing; an empty name closes).
    // Resets view position and selection. False, after the error box, when it cannot be opened.
    bool openFile(const QString &fileName, bool repaint = true);
    void closeFile() { openFile(QString()); }
    QString fileName() const { return m_model.fileName(); }
    bool isOpen() const { return m_model.isOpen(); }

    void setMode(ViewerMode mode);
    ViewerMode mode() const { return m_model.mode(); }
    void setMirrorMode(MirrorMode mode) { m_mirrorMode = mode; }
    MirrorMode mirrorMode() const { return m_mirrorMode; }

    // Wrapping at the control's width (default on); off, lines break only every 2048 characters.
    void setTextWrap(bool wrap);
    bool textWrap() const { return m_wrap; }
    void setTextSearchIndent(int lines, int chars);

    void setFontPointSize(int points);
    int fontPointSize() const { return font().pointSize(); }

    qint64 viewPosition() const { return m_model.viewPosition(); }
    // offset <= 0: start; >= last position: end; otherwise the line holding it goes on top.
    void scrollToOffset(qint64 offset, bool repaint = true);
    // As the Down and Up keys, count times.
    void scrollLines(int count, bool down);

    // Ignored (false) for a negative start or length or a start beyond the end. With scroll,
    // the line of start stands 5 lines below the top and a start beyond the right edge
    // 5 characters from the left.
    bool setSelection(qint64 start, qint64 length, bool scroll, bool notify = false);
    void clearSelection();
    void selectLine(qint64 offset);
    bool hasSelection() const { return m_model.selectionLength() > 0; }
    qint64 selectionStart() const { return m_model.selectionStart(); }
    qint64 selectionLength() const { return m_model.selectionLength(); }
    // 8-bit text in vbmodeText, Unicode in vbmodeUnicode; empty (after the error box) on failure.
    QString selectedText();
    // Copies the selection to the clipboard (decoded as copy does; NUL as blank).
    void copySelection();

    // Keys the viewer handles itself; returns whether key was one of them. The memo mirror
    // forwards its scrolling keys here.
    bool processKey(int key, Qt::KeyboardModifiers modifiers);

    // Where lines are painted: one every lineHeight() pixels, the first character of the
    // first line at the top left inside textMargins() (from the viewer's edges; the right
    // one includes the scroll bar when it shows). The memo mirror lays its lines over them.
    int lineHeight() const;
    QMargins textMargins() const;

    bool wholeTextFits() { return m_model.wholeTextFits(); }
    searchwindow::ViewerModel &model() { return m_model; }
    QScrollBar *verticalScrollBar() const { return m_vbar; }
    QAction *transferAction() const { return m_transferAction; }

    void setErrorHandler(std::function<void(const QString &)> handler) { m_onError = std::move(handler); }
    void setClipboardSink(std::function<void(const QString &)> sink) { m_toClipboard = std::move(sink); }

    static inline const QString kTransferCaption = QStringLiteral("Text in Suchleiste links übertragen");

signals:
    void paintStarted(qint64 viewPosition);
    void linePainted(const QString &mirrorLine);
    void paintFinished();
    void scrollBarsUpdated(bool wholeTextFits);
    // The view scrolled by the scroll bar, the wheel or the middle button (OnScroll).
    void scrolled();
    void selectionChanged();
    // The popup item: the selected text, NUL as blank.
    void transferToSearchBar(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRect textRect() const;
    void updateLayout();
    void syncScrollBar();
    void reportError(const QString &text);
    qint64 offsetAt(const QPoint &pos);
    int xOfOffset(qint64 offset);
    void extendSelectionTo(qint64 offset);
    void dragTick();
    void middleTick();
    void afterScroll(bool userScroll);

    searchwindow::ViewerModel m_model;
    MirrorMode m_mirrorMode = MirrorMode::Ansi;
    bool m_wrap = true;
    int m_indentLines = 5;
    int m_indentChars = 5;
    int m_hscroll = 0; // pixels scrolled to the right
    QList<searchwindow::ViewLine> m_lines; // lines painted last
    QScrollBar *m_vbar = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_transferAction = nullptr;
    QTimer m_dragTimer;   // 50 ms: scrolling while a drag passes an edge
    QTimer m_middleTimer; // 100 ms: scrolling with the middle button
    bool m_dragging = false;
    qint64 m_anchor = 0;
    QPoint m_dragPoint;
    QPoint m_middleOrigin;
    QPoint m_middlePoint;
    std::function<void(const QString &)> m_onError;
    std::function<void(const QString &)> m_toClipboard;
};

} // namespace vespira::gui
