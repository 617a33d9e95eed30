#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

#include <functional>

namespace vespira::gui {

// ListBox1: the database list. A right-button press opens the context menu without
// touching the selection; a keyboard move of the selection counts as a click.
class DatabaseListBox final : public QListWidget
{
    Q_OBJECT
public:
    explicit DatabaseListBox(QWidget *parent = nullptr);

    // The selected row, -1 when no entry is selected.
    int selectedIndex() const;
    // Selects a row without running the click handling.
    void selectQuietly(int row);

signals:
    void entryClicked();
    void entryDoubleClicked();
    void rightPressed(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// Draws one entry: the selected one on the main window's colour darkened to 93 %, the
// glyph (Qt::DecorationRole) at the top left plus 1, the text after it.
class DatabaseItemDelegate final : public QStyledItemDelegate
{
public:
    DatabaseItemDelegate(std::function<QColor()> windowColor, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The background of a selected entry for a window colour.
    static QColor selectedBackground(const QColor &windowColor);

private:
    std::function<QColor()> m_windowColor;
};

} // namespace vespira::gui
