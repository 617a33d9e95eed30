#include "gui/app/databaselist.h"

#include "core/app/colortext.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace vespira::gui {

DatabaseListBox::DatabaseListBox(QWidget *parent)
    : QListWidget {parent}
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

int DatabaseListBox::selectedIndex() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? currentRow() : -1;
}

void DatabaseListBox::selectQuietly(int row)
{
    const QSignalBlocker block(this);
    setCurrentRow(row);
    viewport()->update();
}

void DatabaseListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit rightPressed(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void DatabaseListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        emit entryClicked();
}

void DatabaseListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit entryDoubleClicked();
}

void DatabaseListBox::keyPressEvent(QKeyEvent *event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && selectedIndex() >= 0)
        emit entryClicked();
}

DatabaseItemDelegate::DatabaseItemDelegate(std::function<QColor()> windowColor, QObject *parent)
    : QStyledItemDelegate {parent}
    , m_windowColor {std::move(windowColor)}
{
}

QColor DatabaseItemDelegate::selectedBackground(const QColor &c)
{
    using app::color::darkened;
    return QColor(darkened(c.red()), darkened(c.green()), darkened(c.blue()));
}

void DatabaseItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QRect rect = option.rect;
    painter->save();
    painter->fillRect(rect, selected ? selectedBackground(m_windowColor()) : option.palette.color(QPalette::Base));

    int textLeft = 2;
    const QPixmap glyph = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!glyph.isNull()) {
        painter->drawPixmap(rect.left() + 1, rect.top() + 1, glyph);
        textLeft = glyph.width() + 4;
    }
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(rect.left() + textLeft, rect.top() + 2, rect.width() - textLeft, rect.height() - 2);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus && selected) {
        painter->setPen(QPen(option.palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize DatabaseItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 23);
}

} // namespace vespira::gui
