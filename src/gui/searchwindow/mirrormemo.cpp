#include "gui/searchwindow/mirrormemo.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>

namespace vespira::gui {

// A plain-text layout whose lines all stand one pitch apart. The plain layout spaces lines
// by the font's rounded ascent and descent plus leading, which is not the viewer's height
// (16 px against 15 at 10 points), and a glyph from a fallback font can make one line taller.
class MirrorMemo::FixedPitchLayout final : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    QRectF blockBoundingRect(const QTextBlock &block) const override
    {
        QRectF r = QPlainTextDocumentLayout::blockBoundingRect(block);
        if (block.isVisible())
            r.setHeight(qreal(pitch) * std::max(1, block.layout()->lineCount()));
        return r;
    }

    int pitch = 1;
};

MirrorMemo::MirrorMemo(QWidget *parent)
    : QPlainTextEdit {parent}
{
    auto *document = new QTextDocument(this);
    m_layout = new FixedPitchLayout(document);
    document->setDocumentLayout(m_layout);
    document->setDocumentMargin(0);
    document->setDefaultFont(font());
    setDocument(document);
    // Moving the caret or the selection must not scroll the first line away.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value != 0)
            verticalScrollBar()->setValue(0);
    });
}

void MirrorMemo::matchLines(int pitch, const QMargins &textMargins)
{
    pitch = std::max(1, pitch);
    if (pitch != m_layout->pitch) {
        m_layout->pitch = pitch;
        document()->markContentsDirty(0, document()->characterCount());
    }
    if (viewportMargins() != textMargins)
        setViewportMargins(textMargins);
}

int MirrorMemo::pitch() const
{
    return m_layout->pitch;
}

void MirrorMemo::wheelEvent(QWheelEvent *event)
{
    // The viewer beneath scrolls. Sent on explicitly: a wheel event that did not come from
    // the window system is not passed to the parent when it is ignored.
    QWidget *beneath = parentWidget();
    if (!beneath) {
        event->ignore();
        return;
    }
    QWheelEvent forwarded(beneath->mapFromGlobal(event->globalPosition()), event->globalPosition(),
                          event->pixelDelta(), event->angleDelta(), event->buttons(), event->modifiers(),
                          event->phase(), event->inverted(), event->source());
    QCoreApplication::sendEvent(beneath, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}

} // namespace vespira::gui
