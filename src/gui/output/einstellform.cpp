#include "gui/output/einstellform.h"

#include "core/app/colortext.h"
#include "core/app/settings.h"
#include "core/app/restoredefaults.h"
#include "gui/common/colors.h"
#include "gui/common/guarded.h"
#include "gui/output/browsericons.h"
#include "gui/output/pickers.h"
#include "gui/searchwindow/sortpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

using output::BrowserChoice;
namespace names = app::names;

namespace {

const char *const BrowserImageNames[output::BrowserChoiceCount] = {
    "StandardBrowser_Image", "InternetExplorer_Image", "Edge_Image", "Chrome_Image",
    "Opera_Image", "Safari_Image", "FireFox_Image",
};

QString name(const char16_t *n)
{
    return QString::fromUtf16(n);
}

QIcon signIcon(bool plus)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0, 128, 0), 3));
    painter.drawLine(3, 8, 13, 8);
    if (plus)
        painter.drawLine(8, 3, 8, 13);
    return QIcon(pixmap);
}

QFrame *panel(QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

template <typename W>
W *named(W *widget, const QString &objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

} // namespace

TEinstellform::TEinstellform(app::Context &context, WindowLinks &links, QWidget *parent)
    : QDialog {parent}
    , m_ctx {context}
    , m_links {links}
    , m_ownPicker {std::make_unique<QtColorPicker>()}
{
    m_picker = m_ownPicker.get();
    setObjectName(u"TEinstellform"_s);
    setWindowTitle(u"Einstellungen"_s);
    buildControls();
    guarded(m_ctx.services.dialogs, [&] { PruefeWelcheBrowserInstalliert(); });
}

TEinstellform::~TEinstellform() = default;

void TEinstellform::setColorPicker(ColorPicker *picker)
{
    m_picker = picker ? picker : m_ownPicker.get();
}

void TEinstellform::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    // Browsers.
    QFrame *browsers = panel(this);
    auto *browserLayout = new QGridLayout(browsers);
    Label1 = named(new QLabel(u"Diese Browser sind auf Ihrem PC installiert:"_s, browsers), u"Label1"_s);
    browserLayout->addWidget(Label1, 0, 0, 1, 2);
    auto *row = new QHBoxLayout;
    for (int i = 0; i < output::BrowserChoiceCount; ++i) {
        auto *image = named(new QToolButton(browsers), QString::fromLatin1(BrowserImageNames[i]));
        image->setAutoRaise(true);
        image->setIconSize(QSize(BrowserIconSize, BrowserIconSize));
        image->setFixedSize(BrowserIconSize + 8, BrowserIconSize + 8);
        const auto choice = static_cast<BrowserChoice>(i);
        connect(image, &QToolButton::clicked, this,
                [this, choice] { guarded(m_ctx.services.dialogs, [&] { BrowserImageClick(choice); }); });
        BrowserImages[static_cast<size_t>(i)] = image;
        row->addWidget(image);
    }
    row->addStretch();
    browserLayout->addLayout(row, 1, 0, 1, 2);
    Label2 = named(new QLabel(u"Symbol anklicken für Browser Auswahl."_s, browsers), u"Label2"_s);
    Label3 = named(new QLabel(u"Ihre Browser Standardeinstellung wird NICHT geändert."_s, browsers), u"Label3"_s);
    Label4 = named(new QLabel(u"Dieser Browser zeigt aktuell die Suchergebnisse an:"_s, browsers), u"Label4"_s);
    browserLayout->addWidget(Label2, 2, 0, 1, 2);
    browserLayout->addWidget(Label3, 3, 0, 1, 2);
    browserLayout->addWidget(Label4, 4, 0);
    AktuellerBrowser_Image = named(new QLabel(browsers), u"AktuellerBrowser_Image"_s);
    AktuellerBrowser_Image->setFixedSize(BrowserIconSize + 8, BrowserIconSize + 8);
    AktuellerBrowser_Image->setAlignment(Qt::AlignCenter);
    browserLayout->addWidget(AktuellerBrowser_Image, 4, 1, Qt::AlignLeft);
    leer_Image = named(new QLabel(browsers), u"leer_Image"_s);
    leer_Image->setPixmap(emptyBrowserPixmap());
    leer_Image->hide();
    layout->addWidget(browsers);

    // Colours and sizes.
    QFrame *look = panel(this);
    auto *lookLayout = new QGridLayout(look);
    FarbenAendernButton = named(new QPushButton(u"Fenster Hintergrund Farben ändern"_s, look), u"FarbenAendernButton"_s);
    HinweistexteFarbenAendernButton = named(new QPushButton(u"Hinweistexte Farben ändern"_s, look), u"HinweistexteFarbenAendernButton"_s);
    Button1 = named(new QPushButton(u"Standard wieder herstellen"_s, look), u"Button1"_s);
    lookLayout->addWidget(FarbenAendernButton, 0, 0);
    lookLayout->addWidget(HinweistexteFarbenAendernButton, 0, 1);
    lookLayout->addWidget(Button1, 1, 0, 1, 2);
    auto *fontRow = new QHBoxLayout;
    Label5 = named(new QLabel(u"Schriftgröße Text-Viewer"_s, look), u"Label5"_s);
    SpeedButton1 = named(new QToolButton(look), u"SpeedButton1"_s);
    SpeedButton2 = named(new QToolButton(look), u"SpeedButton2"_s);
    SpeedButton1->setIcon(signIcon(true));
    SpeedButton2->setIcon(signIcon(false));
    for (QToolButton *b : {SpeedButton1, SpeedButton2}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumWidth(48);
    }
    fontRow->addWidget(Label5);
    fontRow->addWidget(SpeedButton1);
    fontRow->addWidget(SpeedButton2);
    fontRow->addStretch();
    lookLayout->addLayout(fontRow, 2, 0, 1, 2);
    layout->addWidget(look);

    // Switches and the sort panel.
    QFrame *switches = panel(this);
    auto *switchLayout = new QVBoxLayout(switches);
    SuchtextInClipbrdCheckBox = named(new QCheckBox(u"Suchtext nach Suche in Zwischenablage kopieren"_s, switches), u"SuchtextInClipbrdCheckBox"_s);
    KurzhinweisImViewerZeigenCheckBox = named(new QCheckBox(u"Kurzhinweis im Viewer an Mauscursor anzeigen"_s, switches), u"KurzhinweisImViewerZeigenCheckBox"_s);
    SuchtextInClipbrdCheckBox->setChecked(true);
    KurzhinweisImViewerZeigenCheckBox->setChecked(true);
    SortierungAnzeigenBitBtn = named(new QPushButton(u"Sortierte Listen erstellen"_s, switches), u"SortierungAnzeigenBitBtn"_s);
    switchLayout->addWidget(SuchtextInClipbrdCheckBox);
    switchLayout->addWidget(KurzhinweisImViewerZeigenCheckBox);
    switchLayout->addWidget(SortierungAnzeigenBitBtn);
    layout->addWidget(switches);

    auto *buttons = new QHBoxLayout;
    OkButton = named(new QPushButton(u"OK"_s, this), u"OkButton"_s);
    AbbruchButton = named(new QPushButton(u"&Abbruch"_s, this), u"AbbruchButton"_s);
    OkButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(AbbruchButton);
    layout->addLayout(buttons);

    auto wire = [this](QAbstractButton *button, void (TEinstellform::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, handler] { guarded(m_ctx.services.dialogs, [&] { (this->*handler)(); }); });
    };
    wire(FarbenAendernButton, &TEinstellform::FarbenAendernButtonClick);
    wire(HinweistexteFarbenAendernButton, &TEinstellform::HinweistexteFarbenAendernButtonClick);
    wire(Button1, &TEinstellform::Button1Click);
    wire(SortierungAnzeigenBitBtn, &TEinstellform::SortierungAnzeigenBitBtnClick);
    wire(SpeedButton1, &TEinstellform::SpeedButton1Click);
    wire(SpeedButton2, &TEinstellform::SpeedButton2Click);
    wire(OkButton, &TEinstellform::OkButtonClick);
    wire(AbbruchButton, &TEinstellform::AbbruchButtonClick);

    FormPaint();
}

void TEinstellform::PruefeWelcheBrowserInstalliert()
{
    const bool edge = !m_ctx.services.shell.findExecutable(output::edgeExecutables()).isEmpty();
    const output::BrowserRow row = output::PruefeWelcheBrowserInstalliert(
        m_ctx.services.system.installedBrowsers(), edge, m_ctx.settings.read(name(names::Browser)));
    for (int i = 0; i < output::BrowserChoiceCount; ++i) {
        QToolButton *image = BrowserImages[static_cast<size_t>(i)];
        const auto choice = static_cast<BrowserChoice>(i);
        image->setToolTip(row.hints[static_cast<size_t>(i)]);
        image->setIcon(row.offered(choice) ? browserIcon(choice, row.icons[static_cast<size_t>(i)])
                                           : QIcon(leer_Image->pixmap()));
        image->setCursor(row.offered(choice) ? Qt::PointingHandCursor : Qt::ArrowCursor);
        image->setVisible(true);
    }
    m_current = row.current;
    AktuellerBrowser_Image->setPixmap(
        m_current ? browserIcon(*m_current, row.icons[static_cast<size_t>(*m_current)]).pixmap(BrowserIconSize) : QPixmap());
    AktuellerBrowser_Image->setToolTip(m_current ? browserHint(*m_current) : QString());
}

void TEinstellform::BrowserImageClick(BrowserChoice choice)
{
    const QToolButton *image = BrowserImages[static_cast<size_t>(choice)];
    if (image->toolTip().isEmpty())
        return; // a placeholder
    const QString value = output::browserValue(choice);
    m_ctx.settings.write(name(names::Browser), value);
    m_ctx.state.browser = value;
    m_current = choice;
    AktuellerBrowser_Image->setPixmap(image->icon().pixmap(BrowserIconSize));
    AktuellerBrowser_Image->setToolTip(image->toolTip());
}

void TEinstellform::writeColor(const QString &valueName, const QString &text)
{
    m_ctx.settings.write(valueName, text);
    if (valueName == name(names::Farbe))
        m_ctx.state.colorText = text;
    else
        m_ctx.state.noticeColorText = text;
}

void TEinstellform::applyBackgroundColour(const QColor &color)
{
    setBackgroundColor(this, color);
}

void TEinstellform::applyNoticeColour(const QColor &color)
{
    for (QWidget *w : QList<QWidget *> {SuchtextInClipbrdCheckBox, KurzhinweisImViewerZeigenCheckBox,
                                                        Label1, Label2, Label3, Label4, Label5})
        setFontColor(w, color);
}

void TEinstellform::FarbenAendernButtonClick()
{
    const auto chosen = m_picker->pickColor(this, m_links.mainWindowBackground().value_or(backgroundColor(this)));
    if (!chosen)
        return;
    m_links.applyBackgroundColour(*chosen);
    m_colorChanged = true;
    writeColor(name(names::Farbe), app::color::formatColorText(app::color::fromRgb(chosen->red(), chosen->green(), chosen->blue())));
    m_links.repaintMainWindow();
}

void TEinstellform::HinweistexteFarbenAendernButtonClick()
{
    const auto chosen = m_picker->pickColor(this, fontColor(Label1));
    if (!chosen)
        return;
    writeColor(name(names::HinweistextFarbe), app::color::formatColorText(app::color::fromRgb(chosen->red(), chosen->green(), chosen->blue())));
    m_links.applyNoticeColour(*chosen);
}

void TEinstellform::Button1Click()
{
    const app::RestoredDefaults defaults =
        app::restoreDefaults(m_ctx.settings, m_ctx.state, m_ctx.services.system.screenWidth());
    m_links.applyBackgroundColour(toQColor(app::color::clHighlight));
    m_links.applyViewerFontSize(defaults.viewerFontSize);
    m_links.restoreMainWindowSize(QSize(defaults.mainWidth, defaults.mainHeight));
    m_links.resizeSearchWindow(QSize(defaults.searchWidth, defaults.searchHeight));
    m_links.applyNoticeColour(toQColor(app::color::clWhite));
    m_links.repaintMainWindow();
}

void TEinstellform::SortierungAnzeigenBitBtnClick()
{
    if (!m_ctx.services.dialogs.confirm(SortPanel::confirmationText(m_ctx.state.catalog.searchTimeDatabase)))
        return;
    m_ctx.state.sort.sortCancel.clear();
    m_links.openSortPanel();
    accept();
}

void TEinstellform::SpeedButton1Click()
{
    m_links.applyViewerFontSize(m_links.viewerFontSize().value_or(10) + 1);
}

void TEinstellform::SpeedButton2Click()
{
    // A point size below 1 is no font; the button stops there.
    m_links.applyViewerFontSize(qMax(1, m_links.viewerFontSize().value_or(10) - 1));
}

void TEinstellform::OkButtonClick()
{
    const bool copy = SuchtextInClipbrdCheckBox->isChecked();
    const bool hints = KurzhinweisImViewerZeigenCheckBox->isChecked();
    m_ctx.settings.write(name(names::SuchwortInZwischenablage), copy ? u"1"_s : u"0"_s);
    m_ctx.settings.write(name(names::KurzhinweisImViewer), hints ? u"1"_s : u"0"_s);
    m_links.showViewerHints(hints);
    accept();
}

void TEinstellform::AbbruchButtonClick()
{
    if (m_colorChanged) {
        m_links.applyBackgroundColour(toQColor(app::color::clHighlight));
        writeColor(name(names::Farbe), app::color::formatColorText(app::color::clHighlight));
    }
    reject();
}

void TEinstellform::FormPaint()
{
    const bool searchShown = m_links.searchWindowShown();
    if (SortierungAnzeigenBitBtn->isEnabled() != searchShown)
        SortierungAnzeigenBitBtn->setEnabled(searchShown);
    const QString plus = searchShown ? QString() : u"+    "_s;
    const QString minus = searchShown ? QString() : u"-    "_s;
    for (auto [button, text] : {std::pair {SpeedButton1, plus}, std::pair {SpeedButton2, minus}}) {
        if (button->isEnabled() != searchShown)
            button->setEnabled(searchShown);
        if (button->text() != text)
            button->setText(text);
    }
}

void TEinstellform::paintEvent(QPaintEvent *event)
{
    FormPaint();
    QDialog::paintEvent(event);
}

void TEinstellform::showEvent(QShowEvent *event)
{
    FormPaint();
    QDialog::showEvent(event);
}

} // namespace vespira::gui
