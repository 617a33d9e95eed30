#include "gui/searchwindow/textviewer.h"

#include "core/common/error.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

using searchwindow::MirrorLines;
using searchwindow::ViewLine;

namespace {
constexpr int kMargin = 2;
constexpr int kSideStep = 200;
} // namespace

TTextViewer::TTextViewer(QWidget *parent)
    : QWidget {parent}
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    QFont f(u"Arial Unicode MS"_s);
    f.setPointSize(10);
    setFont(f);

    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_vbar->hide();
    m_vbar->installEventFilter(this); // the wheel over it scrolls lines
    connect(m_vbar, &QScrollBar::actionTriggered, this, [this](int action) {
        bool handled = true;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: m_model.scrollLines(1, true); break;
        case QAbstractSlider::SliderSingleStepSub: m_model.scrollLines(1, false); break;
        case QAbstractSlider::SliderPageStepAdd: m_model.scrollPage(true); break;
        case QAbstractSlider::SliderPageStepSub: m_model.scrollPage(false); break;
        case QAbstractSlider::SliderToMinimum: m_model.scrollToStart(); break;
        case QAbstractSlider::SliderToMaximum: m_model.scrollToEnd(); break;
        default: handled = false; break;
        }
        if (handled) {
            m_vbar->setSliderPosition(m_model.scrollValue());
            afterScroll(true);
        }
    });
    connect(m_vbar, &QScrollBar::valueChanged, this, [this](int value) {
        if (value == m_model.scrollValue())
            return; // our own update, or a step action already applied
        m_model.scrollToValue(value);
        afterScroll(true);
    });

    m_popup = new QMenu(this);
    m_transferAction = m_popup->addAction(kTransferCaption);
    m_popup->addSeparator();
    m_popup->addSeparator();
    connect(m_transferAction, &QAction::triggered, this, [this] {
        try {
            emit transferToSearchBar(m_model.copyText(m_mirrorMode));
        } catch (const Error &e) {
            reportError(e.message());
        }
    });

    m_dragTimer.setInterval(50);
    connect(&m_dragTimer, &QTimer::timeout, this, &TTextViewer::dragTick);
    m_middleTimer.setInterval(100);
    connect(&m_middleTimer, &QTimer::timeout, this, &TTextViewer::middleTick);

    m_onError = [this](const QString &text) { QMessageBox::critical(this, u"Viewer"_s, text); };
    m_toClipboard = [](const QString &text) { QGuiApplication::clipboard()->setText(text); };
}

TTextViewer::~TTextViewer() = default;

void TTextViewer::reportError(const QString &text)
{
    if (m_onError)
        m_onError(text);
}

bool TTextViewer::openFile(const QString &fileName, bool repaint)
{
    if (!fileName.isEmpty() && fileName == m_model.fileName() && m_model.isOpen())
        return true;
    m_hscroll = 0;
    const bool ok = m_model.open(fileName);
    if (!ok)
        reportError(m_model.lastError());
    else if (m_model.readFailed())
        reportError(m_model.lastError());
    updateLayout();
    if (repaint)
        update();
    return ok;
}

void TTextViewer::setMode(ViewerMode mode)
{
    m_model.setMode(mode);
    updateLayout();
    update();
}

void TTextViewer::setTextWrap(bool wrap)
{
    m_wrap = wrap;
    updateLayout();
    update();
}

void TTextViewer::setTextSearchIndent(int lines, int chars)
{
    m_indentLines = std::max(0, lines);
    m_indentChars = std::max(0, chars);
}

void TTextViewer::setFontPointSize(int points)
{
    QFont f = font();
    f.setPointSize(std::max(1, points));
    setFont(f);
}

void TTextViewer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        updateLayout();
        update();
    }
    QWidget::changeEvent(event);
}

bool TTextViewer::eventFilter(QObject *watched, QEvent *event)
{
    // A step of the bar is a share of the file (on 4 GB over 100 KB); the wheel scrolls
    // lines wherever it is turned over the viewer.
    if (watched == m_vbar && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

int TTextViewer::lineHeight() const
{
    return std::max(1, fontMetrics().height());
}

QRect TTextViewer::textRect() const
{
    QRect r = rect().adjusted(1, 1, -1, -1);
    if (m_vbar->isVisible())
        r.setRight(m_vbar->x() - 1);
    return r;
}

QMargins TTextViewer::textMargins() const
{
    const QRect area = textRect();
    return {area.left() + kMargin, area.top(), width() - 1 - area.right(), height() - 1 - area.bottom()};
}

void TTextViewer::updateLayout()
{
    if (!m_vbar)
        return; // the font set while constructing comes before the scroll bar exists
    const int barWidth = m_vbar->sizeHint().width();
    m_vbar->setGeometry(width() - 1 - barWidth, 1, barWidth, std::max(0, height() - 2));
    const int pageLines = std::max(1, (height() - 2) / lineHeight());
    m_model.setPageLines(pageLines);
    // Decide the wrap width with the scroll bar's room taken when the text needs one.
    const int charWidth = std::max(1, fontMetrics().averageCharWidth());
    const auto columns = [&](int textWidth) { return m_wrap ? std::max(1, (textWidth - 2 * kMargin) / charWidth) : 0; };
    m_model.setWrapWidth(columns(width() - 2));
    bool fits = !m_model.isOpen() || m_model.wholeTextFits();
    if (!fits) {
        m_model.setWrapWidth(columns(width() - 2 - barWidth));
        fits = m_model.wholeTextFits();
    }
    m_vbar->setVisible(!fits);
    m_vbar->raise();
    syncScrollBar();
    emit scrollBarsUpdated(fits);
}

void TTextViewer::syncScrollBar()
{
    const int max = m_model.scrollMaximum();
    const int value = m_model.scrollValue();
    m_vbar->setRange(0, max);
    m_vbar->setPageStep(std::max(1, std::min(max, 32767 / 20)));
    if (!m_vbar->isSliderDown())
        m_vbar->setValue(value);
}

void TTextViewer::afterScroll(bool userScroll)
{
    syncScrollBar();
    update();
    if (userScroll)
        emit scrolled();
}

void TTextViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateLayout();
}

void TTextViewer::scrollToOffset(qint64 offset, bool repaint)
{
    m_model.scrollToOffset(offset);
    syncScrollBar();
    if (repaint)
        update();
}

void TTextViewer::scrollLines(int count, bool down)
{
    m_model.scrollLines(count, down);
    afterScroll(false);
}

bool TTextViewer::setSelection(qint64 start, qint64 length, bool scroll, bool notify)
{
    if (!m_model.setSelection(start, length, scroll, m_indentLines))
        return false;
    if (scroll) {
        const int x = xOfOffset(start);
        if (x >= 0 && x - m_hscroll > textRect().width() - 4)
            m_hscroll = std::max(0, x - m_indentChars * fontMetrics().averageCharWidth());
        else if (x >= 0 && x < m_hscroll)
            m_hscroll = std::max(0, x - m_indentChars * fontMetrics().averageCharWidth());
        syncScrollBar();
    }
    update();
    if (notify)
        emit selectionChanged();
    return true;
}

void TTextViewer::clearSelection()
{
    m_model.clearSelection();
    update();
}

void TTextViewer::selectLine(qint64 offset)
{
    m_model.selectLine(offset);
    update();
}

QString TTextViewer::selectedText()
{
    try {
        return m_model.selectedText();
    } catch (const Error &e) {
        reportError(e.message());
    }
    return {};
}

void TTextViewer::copySelection()
{
    if (!hasSelection())
        return;
    try {
        const QString text = m_model.copyText(m_mirrorMode);
        if (m_toClipboard)
            m_toClipboard(text);
    } catch (const Error &) {
        reportError(u"Cannot copy data to Clipboard"_s);
    }
}

// x in pixels (from the text's left edge, without sideways scrolling) of offset in the line
// that holds it; -1 when that line is not laid out from the view position.
int TTextViewer::xOfOffset(qint64 offset)
{
    const qint64 start = m_model.lineStartContaining(offset);
    const ViewLine line = m_model.layoutLine(start);
    const QFontMetrics fm = fontMetrics();
    for (qsizetype i = 0; i < line.text.size(); ++i)
        if (line.start + line.offsets.at(i) >= offset)
            return fm.horizontalAdvance(line.text.left(i));
    return fm.horizontalAdvance(line.text);
}

void TTextViewer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    emit paintStarted(m_model.viewPosition());
    if (!m_model.isOpen()) {
        m_lines.clear();
        return;
    }
    const QRect area = textRect();
    const int lh = lineHeight();
    const int count = area.height() / lh + 1;
    m_lines = m_model.visibleLines(count);
    painter.setClipRect(area);
    painter.setFont(font());
    const QFontMetrics fm = fontMetrics();
    if (m_model.readFailed()) {
        painter.setPen(palette().text().color());
        painter.drawText(area.adjusted(kMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         u"Read error at offset %1"_s.arg(m_model.viewPosition()));
        m_lines.clear();
        emit paintFinished();
        return;
    }
    const MirrorMode mirrorMode = m_model.mode() == ViewerMode::vbmodeUnicode ? MirrorMode::Utf16 : m_mirrorMode;
    MirrorLines mirror(mirrorMode);
    const QColor text = palette().text().color();
    const QColor highText = palette().highlightedText().color();
    const QBrush high = palette().highlight();
    int y = area.top();
    for (const ViewLine &line : m_lines) {
        const int x0 = area.left() + kMargin - m_hscroll;
        // Highlight the characters whose bytes lie in the selection.
        qsizetype selFrom = -1;
        qsizetype selTo = -1;
        for (qsizetype i = 0; i < line.text.size(); ++i) {
            if (m_model.isSelected(line.start + line.offsets.at(i))) {
                if (selFrom < 0)
                    selFrom = i;
                selTo = i + 1;
            }
        }
        painter.setPen(text);
        if (selFrom < 0) {
            painter.drawText(x0, y + fm.ascent(), line.text);
        } else {
            const QString before = line.text.left(selFrom);
            const QString selected = line.text.mid(selFrom, selTo - selFrom);
            const int xs = x0 + fm.horizontalAdvance(before);
            const int ws = fm.horizontalAdvance(selected);
            painter.drawText(x0, y + fm.ascent(), before);
            painter.fillRect(QRect(xs, y, ws, lh), high);
            painter.setPen(highText);
            painter.drawText(xs, y + fm.ascent(), selected);
            painter.setPen(text);
            painter.drawText(xs + ws, y + fm.ascent(), line.text.mid(selTo));
        }
        try {
            emit linePainted(mirror.take(m_model.lineBytes(line), line.text, !line.hardBreak));
        } catch (const Error &) {
            emit linePainted(line.text);
        }
        y += lh;
    }
    emit paintFinished();
}

bool TTextViewer::processKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int maxSide = [&] {
        int widest = 0;
        for (const ViewLine &l : std::as_const(m_lines))
            widest = std::max(widest, fontMetrics().horizontalAdvance(l.text));
        return std::max(0, widest + 2 * kMargin - textRect().width());
    }();
    switch (key) {
    case Qt::Key_PageDown: m_model.scrollPage(true); break;
    case Qt::Key_PageUp: m_model.scrollPage(false); break;
    case Qt::Key_Down: m_model.scrollLines(1, true); break;
    case Qt::Key_Up: m_model.scrollLines(1, false); break;
    case Qt::Key_Home:
        if (ctrl)
            m_model.scrollToStart();
        else
            m_hscroll = 0;
        break;
    case Qt::Key_End:
        if (ctrl)
            m_model.scrollToEnd();
        else
            m_hscroll = maxSide;
        break;
    case Qt::Key_Left: m_hscroll = std::max(0, m_hscroll - kSideStep); break;
    case Qt::Key_Right: m_hscroll = std::min(std::max(m_hscroll, maxSide), m_hscroll + kSideStep); break;
    case Qt::Key_A:
        if (!ctrl)
            return false;
        m_model.selectAll();
        emit selectionChanged();
        break;
    case Qt::Key_C:
    case Qt::Key_Insert:
        if (!ctrl)
            return false;
        copySelection();
        return true;
    default:
        return false;
    }
    afterScroll(false);
    return true;
}

void TTextViewer::keyPressEvent(QKeyEvent *event)
{
    if (!processKey(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

void TTextViewer::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 40; // three lines per notch
    if (steps == 0 || !m_model.isOpen())
        return;
    m_model.scrollLines(std::abs(steps), steps < 0);
    afterScroll(true);
    event->accept();
}

qint64 TTextViewer::offsetAt(const QPoint &pos)
{
    const QRect area = textRect();
    if (m_lines.isEmpty())
        return m_model.viewPosition();
    const int row = (pos.y() - area.top()) / lineHeight();
    if (pos.y() < area.top())
        return m_lines.first().start;
    if (row >= m_lines.size())
        return m_lines.last().end;
    const ViewLine &line = m_lines.at(row);
    const QFontMetrics fm = fontMetrics();
    const int x = pos.x() - area.left() - kMargin + m_hscroll;
    int left = 0;
    for (qsizetype i = 0; i < line.text.size(); ++i) {
        const int w = fm.horizontalAdvance(line.text.at(i));
        if (x < left + w / 2)
            return line.start + line.offsets.at(i);
        left += w;
    }
    return line.end;
}

void TTextViewer::extendSelectionTo(qint64 offset)
{
    const qint64 from = std::min(m_anchor, offset);
    m_model.setSelection(from, std::abs(offset - m_anchor), false);
    emit selectionChanged();
    update();
}

void TTextViewer::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    if (event->button() == Qt::LeftButton && m_model.isOpen()) {
        m_dragging = true;
        m_anchor = offsetAt(event->position().toPoint());
        m_dragPoint = event->position().toPoint();
        extendSelectionTo(m_anchor);
    } else if (event->button() == Qt::MiddleButton && m_model.isOpen()) {
        m_middleOrigin = m_middlePoint = event->position().toPoint();
        m_middleTimer.start();
    }
    QWidget::mousePressEvent(event);
}

void TTextViewer::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    m_middlePoint = p;
    if (m_dragging) {
        m_dragPoint = p;
        const QRect area = textRect();
        if (p.y() < area.top() || p.y() >= area.bottom()) {
            if (!m_dragTimer.isActive())
                m_dragTimer.start();
        } else {
            m_dragTimer.stop();
        }
        extendSelectionTo(offsetAt(p));
    }
    QWidget::mouseMoveEvent(event);
}

void TTextViewer::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_dragTimer.stop();
    } else if (event->button() == Qt::MiddleButton) {
        m_middleTimer.stop();
    }
    QWidget::mouseReleaseEvent(event);
}

void TTextViewer::dragTick()
{
    if (!m_dragging) {
        m_dragTimer.stop();
        return;
    }
    const bool down = m_dragPoint.y() >= textRect().bottom();
    m_model.scrollLines(1, down);
    m_lines = m_model.visibleLines(textRect().height() / lineHeight() + 1);
    afterScroll(false);
    extendSelectionTo(offsetAt(m_dragPoint));
}

void TTextViewer::middleTick()
{
    const int dy = m_middlePoint.y() - m_middleOrigin.y();
    const int lines = dy / lineHeight();
    if (lines == 0)
        return;
    m_model.scrollLines(std::abs(lines), lines > 0);
    afterScroll(true);
}

void TTextViewer::contextMenuEvent(QContextMenuEvent *event)
{
    m_transferAction->setEnabled(m_model.isOpen() && hasSelection());
    m_popup->popup(event->globalPos());
    event->accept();
}

} // namespace vespira::gui
