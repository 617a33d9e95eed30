#pragma once

#include "core/app/context.h"

#include <QDialog>

class QCheckBox;

namespace vespira::gui {

// The settings dialog "Einstellungen": colours, viewer font size, browser, two switches.
class TEinstellform : public QDialog
{
    Q_OBJECT
public:
    explicit TEinstellform(app::Context &context, QWidget *parent = nullptr);

    app::Context &m_ctx;

    QCheckBox *SuchtextInClipbrdCheckBox = nullptr;
    QCheckBox *KurzhinweisImViewerZeigenCheckBox = nullptr;
};

} // namespace vespira::gui
