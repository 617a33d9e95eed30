#include "gui/output/programwindows.h"

#include "gui/common/colors.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

QWidget *findWindow(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w->objectName() == name)
            return w;
    }
    const QString suffix = u"::"_s + name;
    for (QWidget *w : windows) {
        const QString cls = QString::fromLatin1(w->metaObject()->className());
        if (cls == name || cls.endsWith(suffix))
            return w;
    }
    return nullptr;
}

ProgramWindows findProgramWindows()
{
    return {findWindow(QString::fromUtf16(MainWindowName)), findWindow(QString::fromUtf16(SettingsDialogName)),
            findWindow(QString::fromUtf16(SearchWindowName))};
}

QWidget *findControl(const QString &window, const QString &control)
{
    QWidget *w = findWindow(window);
    return w ? w->findChild<QWidget *>(control) : nullptr;
}

void applyBackgroundColour(const QColor &color)
{
    const ProgramWindows windows = findProgramWindows();
    applyStartBackground(windows, color);
    if (QWidget *image = childNamed(windows.mainWindow, u"Image1"_s))
        image->setAutoFillBackground(false);
}

void repaintMainWindow()
{
    QWidget *main = findWindow(QString::fromUtf16(MainWindowName));
    if (!main)
        return;
    const QSize size = main->size();
    main->resize(size.width() + 1, size.height());
    main->resize(size);
    main->update();
}

} // namespace vespira::gui
