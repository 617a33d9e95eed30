#include "gui/app/mainform.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Vespira-HTML-Dodad"_s);
    vespira::gui::TMainForm_Vespira_HTML mainForm;
    mainForm.show();
    return QApplication::exec();
}
