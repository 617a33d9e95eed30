#include "gui/searchwindow/suchform.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

TSuchForm::TSuchForm(app::Context &context, QWidget *parent)
    : QDialog {parent}
    , m_ctx {context}
{
    setObjectName(u"TSuchForm"_s);
    auto *layout = new QGridLayout(this);
    TntEdit2 = new QLineEdit(this);
    TntEdit2->setObjectName(u"TntEdit2"_s);
    TntEdit1 = new QLineEdit(this);
    TntEdit1->setObjectName(u"TntEdit1"_s);
    TntListBox2 = new QListWidget(this);
    TntListBox2->setObjectName(u"TntListBox2"_s);
    Label2 = new QLabel(this);
    Label2->setObjectName(u"Label2"_s);
    Label8 = new QLabel(this);
    Label8->setObjectName(u"Label8"_s);
    Viewer = new QWidget(this);
    Viewer->setObjectName(u"Viewer"_s);
    ViewerMemo = new QPlainTextEdit(this);
    ViewerMemo->setObjectName(u"ViewerMemo"_s);
    ZeilenAlsListeSortieren = new QPushButton(this);
    ZeilenAlsListeSortieren->setObjectName(u"ZeilenAlsListeSortieren"_s);
    OKBtn = new QPushButton(u"Lokale Suche"_s, this);
    OKBtn->setObjectName(u"OKBtn"_s);
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(u"CancelBtn"_s);
    layout->addWidget(TntEdit2, 0, 0);
    layout->addWidget(OKBtn, 0, 1);
    layout->addWidget(CancelBtn, 0, 2);
    layout->addWidget(TntEdit1, 0, 3);
    layout->addWidget(TntListBox2, 1, 0);
    layout->addWidget(ViewerMemo, 1, 1, 1, 3);
    layout->addWidget(Label8, 2, 0);
    layout->addWidget(Label2, 2, 1);
    layout->addWidget(ZeilenAlsListeSortieren, 2, 2);
    layout->addWidget(Viewer, 3, 0);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSuchForm::closeView()
{
    ViewerMemo->clear();
}

} // namespace vespira::gui
