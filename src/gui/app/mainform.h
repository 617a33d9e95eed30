#pragma once

#include <QMainWindow>

namespace vespira::gui {

// The main window with the database list.
class TMainForm_Vespira_HTML : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm_Vespira_HTML(QWidget *parent = nullptr);
};

} // namespace vespira::gui
