#include "gui/app/mainform.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

TMainForm_Vespira_HTML::TMainForm_Vespira_HTML(QWidget *parent)
    : QMainWindow {parent}
{
    setObjectName(u"TMainForm_Vespira_HTML"_s);
}

} // namespace vespira::gui
