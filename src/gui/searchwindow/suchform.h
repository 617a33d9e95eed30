#pragma once

#include "core/app/context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vespira::gui {

// The search window: the left search bar, the document view and the right search bar.
// Created once by the program and shown modally by the main window's search button.
class TSuchForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSuchForm(app::Context &context, QWidget *parent = nullptr);

    // Controls, named as the program's design names them.
    QLineEdit *TntEdit2 = nullptr;        // left search bar
    QLineEdit *TntEdit1 = nullptr;        // right search bar
    QListWidget *TntListBox2 = nullptr;   // search-term drop-down
    QLabel *Label2 = nullptr;
    QLabel *Label8 = nullptr;
    QWidget *Viewer = nullptr;            // document view
    QPlainTextEdit *ViewerMemo = nullptr; // memo mirror of the view
    QPushButton *ZeilenAlsListeSortieren = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    app::Context &m_ctx;

    // Closes the view's file and empties its memo mirror.
    void closeView();
};

} // namespace vespira::gui
