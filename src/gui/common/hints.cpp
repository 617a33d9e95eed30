#include "gui/common/hints.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

class HintBlocker final : public QObject
{
public:
    explicit HintBlocker(QObject *parent)
        : QObject {parent}
    {
        setObjectName(u"HintBlocker"_s);
    }

    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};

HintBlocker *blockerOf(const QWidget *widget)
{
    return widget->findChild<HintBlocker *>(u"HintBlocker"_s, Qt::FindDirectChildrenOnly);
}

} // namespace

void setHintsShown(QWidget *widget, bool shown)
{
    if (!widget)
        return;
    // A scroll area's viewport passes its tool-tip events on to the area without the
    // area's event filters seeing them, so the viewport gets the blocker too.
    auto *area = qobject_cast<QAbstractScrollArea *>(widget);
    QWidget *viewport = area ? area->viewport() : nullptr;
    HintBlocker *blocker = blockerOf(widget);
    if (shown && blocker) {
        delete blocker; // a deleted filter is removed from every object it watched
    } else if (!shown && !blocker) {
        blocker = new HintBlocker(widget);
        widget->installEventFilter(blocker);
        if (viewport)
            viewport->installEventFilter(blocker);
    }
}

bool hintsShown(const QWidget *widget)
{
    return widget && !blockerOf(widget);
}

} // namespace vespira::gui
