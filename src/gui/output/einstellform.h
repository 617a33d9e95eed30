#pragma once

#include "core/app/context.h"
#include "core/output/browserdetect.h"
#include "gui/common/windowlinks.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace vespira::gui {

class ColorPicker;

// The settings dialog "Einstellungen": browser for the result pages, window and notice text
// colours, viewer font size, two switches, restoring the defaults, and the way into the sort
// panel. Created once at program start (the browser detection runs then) and shown modally.
// Every choice is written to the settings at once; the colours and sizes go to the other
// windows through the links the dialog is made with.
class TEinstellform : public QDialog
{
    Q_OBJECT
public:
    explicit TEinstellform(app::Context &context, WindowLinks &links = WindowLinks::none(),
                           QWidget *parent = nullptr);
    ~TEinstellform() override;

    // The colour dialog; the toolkit's one unless a test sets its own (not owned).
    void setColorPicker(ColorPicker *picker);

    // The dialog's own part of the window colours.
    void applyBackgroundColour(const QColor &color);
    void applyNoticeColour(const QColor &color);

    // Detects the installed browsers and shows them in the icon row, with the current choice.
    void PruefeWelcheBrowserInstalliert();

    // Handlers.
    void BrowserImageClick(output::BrowserChoice choice);
    void FarbenAendernButtonClick();
    void HinweistexteFarbenAendernButtonClick();
    void Button1Click();
    void SortierungAnzeigenBitBtnClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void OkButtonClick();
    void AbbruchButtonClick();
    // The paint rule: the sort and font-size buttons work only while the search window is shown.
    void FormPaint();

    // The browser whose icon AktuellerBrowser_Image shows; none when it is empty.
    [[nodiscard]] std::optional<output::BrowserChoice> currentBrowser() const { return m_current; }
    // Set by the first confirmed background colour, never cleared.
    [[nodiscard]] bool colorChanged() const { return m_colorChanged; }

    app::Context &m_ctx;

    QCheckBox *SuchtextInClipbrdCheckBox = nullptr;
    QCheckBox *KurzhinweisImViewerZeigenCheckBox = nullptr;
    QPushButton *FarbenAendernButton = nullptr;
    QPushButton *HinweistexteFarbenAendernButton = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *SortierungAnzeigenBitBtn = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    // The icon row in the order standard, Internet Explorer, Edge, Chrome, Opera, Safari,
    // Firefox; the tooltip is the hint, and an empty hint marks a placeholder.
    std::array<QToolButton *, output::BrowserChoiceCount> BrowserImages {};
    QLabel *leer_Image = nullptr;
    QLabel *AktuellerBrowser_Image = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *AbbruchButton = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void writeColor(const QString &name, const QString &text);

    WindowLinks &m_links;
    std::unique_ptr<ColorPicker> m_ownPicker;
    ColorPicker *m_picker = nullptr;
    std::optional<output::BrowserChoice> m_current;
    bool m_colorChanged = false;
};

} // namespace vespira::gui
