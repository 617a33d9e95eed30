#pragma once

#include <QDialog>

class QCheckBox;

namespace vespira::gui {

// The settings dialog "Einstellungen": colours, viewer font size, browser, two switches.
class TEinstellform : public QDialog
{
    Q_OBJECT
public:
    explicit TEinstellform(QWidget *parent = nullptr);

    QCheckBox *SuchtextInClipbrdCheckBox = nullptr;
    QCheckBox *KurzhinweisImViewerZeigenCheckBox = nullptr;
};

} // namespace vespira::gui
