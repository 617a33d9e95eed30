#include "gui/common/appearance.h"

#include "gui/common/colors.h"

#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

void paintNamed(QWidget *root, std::initializer_list<QString> names, const QColor &color)
{
    for (const QString &name : names)
        setBackgroundColor(childNamed(root, name), color);
}

void fontNamed(QWidget *root, std::initializer_list<QString> names, const QColor &color)
{
    for (const QString &name : names)
        setFontColor(childNamed(root, name), color);
}

} // namespace

void applyStartBackground(const ProgramWindows &w, const std::optional<QColor> &stored)
{
    const QColor color = stored.value_or(toQColor(app::color::clHighlight));
    setBackgroundColor(w.mainWindow, color);
    if (stored) {
        paintNamed(w.searchWindow, {u"PanelLinks"_s, u"PanelRechts"_s, u"PanelUnten"_s, u"ToolBar1"_s}, color);
    }
    setBackgroundColor(w.settingsDialog, color);
    setBackgroundColor(w.searchWindow, color);
    paintNamed(w.searchWindow, {u"Panel2"_s}, color);
    paintNamed(w.mainWindow, {u"Panel1"_s}, color);
}

void applyNoticeColor(const ProgramWindows &w, const QColor &color)
{
    fontNamed(w.mainWindow, {u"SpeedButton1"_s, u"SpeedButton2"_s, u"Label1"_s, u"Label2"_s, u"GeduldLabel"_s},
              color);
    fontNamed(w.settingsDialog,
              {u"SuchtextInClipbrdCheckBox"_s, u"KurzhinweisImViewerZeigenCheckBox"_s, u"Label1"_s, u"Label2"_s,
               u"Label3"_s, u"Label4"_s, u"Label5"_s},
              color);
    fontNamed(w.searchWindow,
              {u"GrossKleinBeachten"_s, u"NurGanzeWoerterCheckBox"_s, u"nurWoerterButton"_s, u"nurSaetzeButton"_s,
               u"WoerterUndSaetzeButton"_s, u"Label1"_s, u"Label2"_s, u"Label3"_s, u"Label5"_s, u"Label8"_s,
               u"TntLabel1"_s, u"OderCheckBox"_s, u"PhraseCheckBox"_s, u"SpeedButton1"_s, u"SpeedButton2"_s},
              color);
}

} // namespace vespira::gui
