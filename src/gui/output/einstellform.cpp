#include "gui/output/einstellform.h"

#include <QCheckBox>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

TEinstellform::TEinstellform(app::Context &context, QWidget *parent)
    : QDialog {parent}
    , m_ctx {context}
{
    setObjectName(u"TEinstellform"_s);
    setWindowTitle(u"Einstellungen"_s);
    auto *layout = new QVBoxLayout(this);
    SuchtextInClipbrdCheckBox = new QCheckBox(this);
    SuchtextInClipbrdCheckBox->setObjectName(u"SuchtextInClipbrdCheckBox"_s);
    KurzhinweisImViewerZeigenCheckBox = new QCheckBox(this);
    KurzhinweisImViewerZeigenCheckBox->setObjectName(u"KurzhinweisImViewerZeigenCheckBox"_s);
    layout->addWidget(SuchtextInClipbrdCheckBox);
    layout->addWidget(KurzhinweisImViewerZeigenCheckBox);
}

} // namespace vespira::gui
