#include "gui/searchwindow/suchform.h"

#include "gui/searchwindow/mirrormemo.h"
#include "gui/searchwindow/textviewer.h"
#include "gui/searchwindow/webpanel.h"

#include "core/common/docpath.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/db/dbfiles.h"
#include "core/app/startup.h"
#include "core/searchwindow/bookmarks.h"
#include "core/searchwindow/collectedload.h"
#include "core/searchwindow/findinviewer.h"
#include "core/searchwindow/handoff.h"
#include "core/searchwindow/searchbar.h"
#include "core/searchwindow/searchtextlists.h"
#include "core/searchwindow/titledisplay.h"
#include "gui/common/colors.h"
#include "gui/common/eventpump.h"
#include "gui/common/guarded.h"
#include "gui/common/hints.h"
#include "gui/common/machpause.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

using app::DocumentKind;

namespace {

constexpr int kDropDownHeight = 155;
constexpr int kDefaultSplitterPos = 483;
constexpr int kMinWidth = 1043;
constexpr int kMinHeight = 500;
const QColor kGreen(0, 128, 0);
const QColor kGrey(128, 128, 128);

QString s16(const char16_t *text)
{
    return QString::fromUtf16(text);
}

void setBaseColour(QWidget *w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(role));
    w->setPalette(p);
}

template <typename W>
W *named(W *widget, const char16_t *name)
{
    widget->setObjectName(QString::fromUtf16(name));
    return widget;
}

QPushButton *button(QWidget *parent, const char16_t *name, const QString &caption, const QString &hint)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

QCheckBox *checkBox(QWidget *parent, const char16_t *name, const QString &caption)
{
    auto *c = named(new QCheckBox(caption, parent), name);
    QFont f = c->font();
    f.setBold(true);
    c->setFont(f);
    return c;
}

} // namespace

// One row of the kinds of collected text a load can show.
struct TSuchForm::KindRow
{
    DocumentKind kind;
    db::TextKind textKind;
    const char16_t *prefix;
    const char16_t *captionHead;
    const char16_t *loadingCaption;
    const char16_t *sortedListSuffix;
};

namespace {

const TSuchForm::ViewMemory kNoMemory {};

} // namespace

const TSuchForm::KindRow &TSuchForm::row(DocumentKind kind) const
{
    static const KindRow rows[] = {
        {DocumentKind::Ansi, db::TextKind::Ansi, u"ANSI-", u"ANSI-DB:", u"Lade ANSI-Dokument:",
         db::suffix::AnsiSortedList},
        {DocumentKind::Utf8, db::TextKind::Utf8, u"UTF8-", u"UTF8-DB:", u"Lade Utf8-Dokument",
         db::suffix::Utf8SortedList},
        {DocumentKind::Mht, db::TextKind::Mht, u"MHT-Dokument-", u"MHT-Dokument:",
         u"Lade Unicode-Dokument", db::suffix::MhtSortedList},
    };
    for (const KindRow &r : rows)
        if (r.kind == kind)
            return r;
    return rows[1];
}

QPushButton *TSuchForm::loadButton(DocumentKind kind) const
{
    switch (kind) {
    case DocumentKind::Ansi:
        return AnsiLadenButton;
    case DocumentKind::Utf8:
        return UTF8LadenButton;
    case DocumentKind::Mht:
        return UnicodeLadenButton;
    case DocumentKind::None:
        break;
    }
    return nullptr;
}

// Sees every event of the application, for the mouse-wheel routing.
class TSuchForm::WheelRouter final : public QObject
{
public:
    explicit WheelRouter(TSuchForm &form)
        : QObject {&form}
        , m_form {form}
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel && watched->isWidgetType())
            m_form.routeWheel(static_cast<QWidget *>(watched), *static_cast<QWheelEvent *>(event));
        return false;
    }

private:
    TSuchForm &m_form;
};

TSuchForm::TSuchForm(app::Context &context, WindowLinks &links, QWidget *parent)
    : QDialog {parent}
    , m_ctx {context}
    , m_links {links}
{
    setObjectName(u"TSuchForm"_s);
    setWindowTitle(QString());
    QFont windowFont(u"Arial Unicode MS"_s);
    windowFont.setPixelSize(15);
    setFont(windowFont);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Tool bar.
    ToolBar1 = named(new QWidget(this), u"ToolBar1");
    ToolBar1->setFixedHeight(40);
    QFont toolFont(u"MS Sans Serif"_s);
    toolFont.setPointSize(8);
    ToolBar1->setFont(toolFont);
    auto *toolLayout = new QHBoxLayout(ToolBar1);
    toolLayout->setContentsMargins(2, 2, 2, 2);
    SpeedButton3 = named(new QToolButton(ToolBar1), u"SpeedButton3");
    SpeedButton3->setText(u"Vespira-HTML-Dodad 4.0"_s);
    SpeedButton3->setAutoRaise(true);
    SpeedButton3->setEnabled(false);
    ToolButton1 = named(new QWidget(ToolBar1), u"ToolButton1");
    ToolButton1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    SpeedButton1 = named(new QToolButton(ToolBar1), u"SpeedButton1");
    SpeedButton1->setText(u"?"_s);
    SpeedButton1->setAutoRaise(true);
    SpeedButton2 = named(new QToolButton(ToolBar1), u"SpeedButton2");
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    SpeedButton2->setAutoRaise(true);
    toolLayout->addWidget(SpeedButton3);
    toolLayout->addWidget(ToolButton1, 1);
    toolLayout->addWidget(SpeedButton1);
    toolLayout->addWidget(SpeedButton2);
    outer->addWidget(ToolBar1);

    // Left and right halves.
    Splitter1 = named(new QSplitter(Qt::Horizontal, this), u"Splitter1");
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setOpaqueResize(false); // the position is stored when the splitter is released
    outer->addWidget(Splitter1, 1);

    PanelLinks = named(new QFrame(Splitter1), u"PanelLinks");
    PanelLinks->setMinimumWidth(460);
    auto *left = new QVBoxLayout(PanelLinks);
    auto *barRow = new QHBoxLayout;
    TntEdit2 = named(new QLineEdit(PanelLinks), u"TntEdit2");
    TntEdit2->setToolTip(u"Suchworteingabe. Linker Mausklick öffnet/schließt vorhandene Liste."_s);
    Button1 = button(PanelLinks, u"Button1", u"X"_s, u"Suchworttext löschen."_s);
    Button1->setFixedWidth(30);
    barRow->addWidget(TntEdit2, 1);
    barRow->addWidget(Button1);
    left->addLayout(barRow);
    GrossKleinBeachten = checkBox(PanelLinks, u"GrossKleinBeachten",
                                  u"Bei lokaler Suche die Groß / Kleinschr. beachten"_s);
    NurGanzeWoerterCheckBox = checkBox(PanelLinks, u"NurGanzeWoerterCheckBox",
                                       u"Bei lokaler Suche nur ganze Wörter"_s);
    left->addWidget(GrossKleinBeachten);
    left->addWidget(NurGanzeWoerterCheckBox);
    AlleWoerterCheckBox = checkBox(PanelLinks, u"AlleWoerterCheckBox", u"Alle Wörter"_s);
    AlleWoerterCheckBox->setToolTip(
        u"Findet Dokumente, die jedes Wort des Suchtexts enthalten, in beliebiger Reihenfolge."_s);
    UmlauteGleichwertigCheckBox = checkBox(PanelLinks, u"UmlauteGleichwertigCheckBox", u"Umlaute gleichwertig"_s);
    UmlauteGleichwertigCheckBox->setToolTip(
        u"ä = ae, ö = oe, ü = ue, ß = ss: Müller findet auch Mueller, Strasse auch Straße."_s);
    FundstellenZaehlenCheckBox = checkBox(PanelLinks, u"FundstellenZaehlenCheckBox", u"Fundstellen zählen"_s);
    FundstellenZaehlenCheckBox->setToolTip(u"Nennt bei jedem Dokument, wie oft der Suchtext darin steht."_s);
    AlleDatenbankenCheckBox = checkBox(PanelLinks, u"AlleDatenbankenCheckBox", u"In allen Datenbanken"_s);
    AlleDatenbankenCheckBox->setToolTip(u"Durchsucht jede Datenbank der Liste, nicht nur die gewählte."_s);
    auto *optionGrid = new QGridLayout;
    optionGrid->setContentsMargins(0, 0, 0, 0);
    optionGrid->addWidget(AlleWoerterCheckBox, 0, 0);
    optionGrid->addWidget(UmlauteGleichwertigCheckBox, 0, 1);
    optionGrid->addWidget(FundstellenZaehlenCheckBox, 1, 0);
    optionGrid->addWidget(AlleDatenbankenCheckBox, 1, 1);
    left->addLayout(optionGrid);
    Label1 = named(new QLabel(PanelLinks), u"Label1");
    Label1->setWordWrap(false);
    left->addWidget(Label1);

    m_webPanel = new WebPanel(m_ctx, *this, TntEdit2, PanelLinks);
    m_webPanel->setObjectName(u"Panel2"_s);
    Panel2 = m_webPanel;
    Label5 = m_webPanel->Label5;
    TntComboBox1 = m_webPanel->TntComboBox1;
    TntListBox1 = m_webPanel->TntListBox1;
    TntLabel1 = m_webPanel->TntLabel1;
    left->addWidget(Panel2, 1);
    SortPanelPlace = named(new QFrame(PanelLinks), u"SortPanelPlace");
    new QVBoxLayout(SortPanelPlace);
    SortPanelPlace->layout()->setContentsMargins(0, 0, 0, 0);
    left->addWidget(SortPanelPlace);
    sortPanel = new SortPanel(m_ctx, SortPanelPlace);
    sortPanel->setHost(this);
    SortPanelPlace->layout()->addWidget(sortPanel);

    // Over the other controls, just under the left search bar.
    TntListBox2 = named(new QListWidget(PanelLinks), u"TntListBox2");
    TntListBox2->setToolTip(u"Linker Mausklick fügt die Auswahl ein."_s);
    TntListBox2->hide();

    PhraseCheckBox = checkBox(this, u"PhraseCheckBox", u"Suche als Phrase (Satz)"_s);
    PhraseCheckBox->hide();
    OderCheckBox = checkBox(this, u"OderCheckBox", u"die einen oder mehrere Suchbegriffe enthalten (ODER)."_s);
    OderCheckBox->hide();
    OderCheckBox->setChecked(true);

    PanelRechts = named(new QFrame(Splitter1), u"PanelRechts");
    auto *right = new QVBoxLayout(PanelRechts);
    auto *findRow = new QHBoxLayout;
    TntEdit1 = named(new QLineEdit(PanelRechts), u"TntEdit1");
    TntEdit1->setToolTip(u"Suchwort eingeben für Textsuche in Liste"_s);
    Button2 = button(PanelRechts, u"Button2", u"X"_s, u"Suchworttext löschen."_s);
    Button2->setFixedWidth(30);
    WeiterSuche = button(PanelRechts, u"WeiterSuche", u"Suchen"_s, u"Suche im Dokument beginnen / weiter."_s);
    LesezeichenBtn = named(new QToolButton(PanelRechts), u"LesezeichenBtn");
    LesezeichenBtn->setToolTip(u"Lesezeichen speichern"_s);
    LesezeichenBtn->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    Image4 = named(new QLabel(PanelRechts), u"Image4");
    Image4->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(24, 24));
    findRow->addWidget(TntEdit1, 1);
    findRow->addWidget(Button2);
    findRow->addWidget(WeiterSuche);
    findRow->addWidget(LesezeichenBtn);
    findRow->addWidget(Image4);
    right->addLayout(findRow);
    auto *captionRow = new QHBoxLayout;
    captionRow->setSpacing(0);
    Label8 = named(new QLabel(PanelRechts), u"Label8");
    Label2 = named(new QLabel(PanelRechts), u"Label2");
    Label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    captionRow->addWidget(Label8);
    captionRow->addWidget(Label2, 1);
    right->addLayout(captionRow);
    Viewer = named(new TTextViewer(PanelRechts), u"Viewer");
    right->addWidget(Viewer, 1);
    ViewerMemo = named(new MirrorMemo(Viewer), u"ViewerMemo");
    ViewerMemo->setReadOnly(true);
    ViewerMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ViewerMemo->setTabChangesFocus(false);
    ViewerMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    ViewerMemo->setFrameShape(QFrame::NoFrame);
    // The mirror holds only the painted lines and lies over the viewer; scrolling is the
    // viewer's. Its own bars would show whenever its line spacing differs from the viewer's
    // and sit beside the viewer's bar, scrolling the mirror away from what the viewer shows.
    ViewerMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ViewerMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PopupMenu1 = named(new QMenu(ViewerMemo), u"PopupMenu1");
    TextinSuchleistelinksbertragen1 = PopupMenu1->addAction(u"Text in Suchleiste links übertragen"_s);
    TextinSuchleistelinksbertragen1->setObjectName(u"TextinSuchleistelinksbertragen1"_s);

    Splitter1->addWidget(PanelLinks);
    Splitter1->addWidget(PanelRechts);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);

    // Command buttons.
    PanelUnten = named(new QFrame(this), u"PanelUnten");
    PanelUnten->setFixedHeight(63);
    auto *bottom = new QHBoxLayout(PanelUnten);
    SuchImInternetBtn = button(PanelUnten, u"SuchImInternetBtn", u"Suche im Internet"_s,
                               u"Mit ausgewählter Website -Adresse suchen."_s);
    OKBtn = button(PanelUnten, u"OKBtn", u"Lokale Suche"_s, u"Lokale Suche auf Datenträger."_s);
    ZeilenAlsListeSortieren = button(PanelUnten, u"ZeilenAlsListeSortieren", u"Sortierte Liste"_s,
                                     u"Den Text in einer sortierten Liste anzeigen"_s);
    ZeilenAlsListeSortieren->setEnabled(false);
    UnicodeLadenButton = button(PanelUnten, u"UnicodeLadenButton", u"MHT / EML - Liste"_s,
                                u"Unicode-Text-Dokument laden"_s);
    UTF8LadenButton = button(PanelUnten, u"UTF8LadenButton", u"HTML - Liste"_s, u"Utf8-Text-Dokument laden"_s);
    AnsiLadenButton = button(PanelUnten, u"AnsiLadenButton", u"ANSI-Text"_s, u"ANSI-Text-Dokument laden"_s);
    AnsiLadenButton->hide();
    CancelBtn = button(PanelUnten, u"CancelBtn", u"Abbrechen"_s, u"Schließt das Fenster"_s);
    bottom->addWidget(SuchImInternetBtn);
    bottom->addWidget(OKBtn);
    bottom->addWidget(ZeilenAlsListeSortieren);
    bottom->addStretch(1);
    bottom->addWidget(UnicodeLadenButton);
    bottom->addWidget(UTF8LadenButton);
    bottom->addWidget(AnsiLadenButton);
    bottom->addWidget(CancelBtn);
    outer->addWidget(PanelUnten);

    Timer1 = sortPanel->Timer1;
    Timer2 = named(new QTimer(this), u"Timer2");
    Timer2->setInterval(1000);
    MachPause1 = new TMachPause(this);
    MachPause1->setObjectName(u"MachPause1"_s);
    MachPause1->setInterval(1000);

    applyStoredViewerFont();

    // Wiring.
    auto &dialogs = m_ctx.services.dialogs;
    const auto on = [this, &dialogs](auto handler) {
        return [this, &dialogs, handler] { guarded(dialogs, [&] { (this->*handler)(); }); };
    };
    connect(SpeedButton1, &QToolButton::clicked, this, on(&TSuchForm::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, on(&TSuchForm::SpeedButton2Click));
    connect(Splitter1, &QSplitter::splitterMoved, this, on(&TSuchForm::Splitter1Moved));
    connect(TntEdit2, &QLineEdit::textChanged, this, &TSuchForm::TntEdit2Change);
    connect(Button1, &QPushButton::clicked, this, on(&TSuchForm::Button1Click));
    connect(Button2, &QPushButton::clicked, this, on(&TSuchForm::Button2Click));
    connect(TntEdit1, &QLineEdit::textChanged, this, on(&TSuchForm::TntEdit1Change));
    connect(WeiterSuche, &QPushButton::clicked, this, on(&TSuchForm::WeiterSucheClick));
    connect(TntListBox2, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        guarded(m_ctx.services.dialogs, [&] { TntListBox2Click(item->text()); });
    });
    for (const auto &[box, name] : optionBoxes()) {
        connect(box, &QCheckBox::clicked, this, [this, box = box, name = name] {
            guarded(m_ctx.services.dialogs, [&] {
                m_ctx.settings.write(s16(name), box->isChecked() ? u"1"_s : u"0"_s);
            });
        });
    }
    connect(PhraseCheckBox, &QCheckBox::toggled, this, on(&TSuchForm::PhraseCheckBoxClick));
    connect(OderCheckBox, &QCheckBox::toggled, this, on(&TSuchForm::OderCheckBoxClick));
    connect(CancelBtn, &QPushButton::clicked, this, on(&TSuchForm::CancelBtnClick));
    connect(OKBtn, &QPushButton::clicked, this, on(&TSuchForm::OKBtnClick));
    connect(SuchImInternetBtn, &QPushButton::clicked, this, [this] {
        guarded(m_ctx.services.dialogs, [&] { m_webPanel->SuchImInternetBtnClick(); });
    });
    connect(AnsiLadenButton, &QPushButton::clicked, this, on(&TSuchForm::AnsiLadenButtonClick));
    connect(UTF8LadenButton, &QPushButton::clicked, this, on(&TSuchForm::UTF8LadenButtonClick));
    connect(UnicodeLadenButton, &QPushButton::clicked, this, on(&TSuchForm::UnicodeLadenButtonClick));
    connect(ZeilenAlsListeSortieren, &QPushButton::clicked, sortPanel, &SortPanel::ZeilenAlsListeSortierenClick);
    connect(LesezeichenBtn, &QToolButton::clicked, this, on(&TSuchForm::LesezeichenBtnClick));
    connect(Timer2, &QTimer::timeout, this, on(&TSuchForm::Timer2Timer));
    connect(TextinSuchleistelinksbertragen1, &QAction::triggered, this,
            on(&TSuchForm::TextinSuchleistelinksbertragen1Click));
    connect(ViewerMemo, &QPlainTextEdit::customContextMenuRequested, this, [this](const QPoint &at) {
        guarded(m_ctx.services.dialogs, [&] {
            ViewerMemoMouseDown(Qt::RightButton);
            PopupMenu1->popup(ViewerMemo->mapToGlobal(at));
        });
    });
    wireViewer();

    TntEdit2->installEventFilter(this);
    TntEdit1->installEventFilter(this);
    ViewerMemo->installEventFilter(this);
    ViewerMemo->viewport()->installEventFilter(this);
    Viewer->installEventFilter(this);
    qApp->installEventFilter(new WheelRouter(*this));
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive)
            guarded(m_ctx.services.dialogs, [&] { ApplicationActivate(); });
    });

    setDropDownGrey(true);
    echoSearchText();
}

TSuchForm::~TSuchForm() = default;

// ---------------------------------------------------------------------------------------
// Window

QString TSuchForm::searchTimeDatabase() const
{
    return m_ctx.state.catalog.searchTimeDatabase;
}

void TSuchForm::pause(int milliseconds)
{
    MachPause1->PauseMs(milliseconds);
}

void TSuchForm::applyStoredViewerFont()
{
    QFont f(u"Arial Unicode MS"_s);
    f.setPointSize(app::viewerFontSize(m_ctx.settings));
    Viewer->setFont(f);
    Viewer->setFontPointSize(f.pointSize());
    ViewerMemo->setFont(f);
}

int TSuchForm::viewerFontSize() const
{
    for (const QWidget *viewer : {static_cast<const QWidget *>(ViewerMemo), static_cast<const QWidget *>(Viewer)}) {
        if (const int size = viewer->font().pointSize(); size > 0)
            return size;
    }
    return 10;
}

void TSuchForm::applyViewerFontSize(int points)
{
    for (QWidget *viewer : {static_cast<QWidget *>(ViewerMemo), static_cast<QWidget *>(Viewer)}) {
        QFont font = viewer->font();
        font.setPointSize(points);
        viewer->setFont(font);
        viewer->update();
    }
}

void TSuchForm::showViewerHints(bool shown)
{
    setHintsShown(ViewerMemo, shown);
}

void TSuchForm::applyBackgroundColour(const QColor &color, bool panels)
{
    if (panels) {
        for (QWidget *panel : {static_cast<QWidget *>(PanelLinks), static_cast<QWidget *>(PanelRechts),
                               static_cast<QWidget *>(PanelUnten), ToolBar1})
            setBackgroundColor(panel, color);
    }
    setBackgroundColor(this, color);
    setBackgroundColor(Panel2, color);
}

void TSuchForm::applyNoticeColour(const QColor &color)
{
    QList<QWidget *> notices {
        sortPanel->nurWoerterButton, sortPanel->nurSaetzeButton, sortPanel->WoerterUndSaetzeButton, Label1, Label2,
        Label5, Label8, TntLabel1, OderCheckBox, PhraseCheckBox, SpeedButton1, SpeedButton2};
    notices << searchOptionBoxes();
    for (QWidget *w : notices)
        setFontColor(w, color);
}

QSize TSuchForm::adjustedSize(QSize size)
{
    if (size.height() < 499)
        size.setHeight(kMinHeight);
    if (size.width() < kMinWidth)
        size.setWidth(kMinWidth);
    return size;
}

void TSuchForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded(m_ctx.services.dialogs, [&] { FormPaint(); });
}

void TSuchForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Enabling controls while painting would paint again; the checks follow the paint.
    if (!m_paintQueued) {
        m_paintQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_paintQueued = false;
            guarded(m_ctx.services.dialogs, [&] { FormPaint(); });
        });
    }
}

void TSuchForm::FormPaint()
{
    if (TntEdit1->text().isEmpty())
        WeiterSuche->setEnabled(false);
    if (m_firstPaint)
        firstPaint();
    // A sort build locks these controls from its first cut on; the sorting flag covers
    // only the list builds themselves. A search run keeps them as it set them, or a paint
    // during the run would offer a second run.
    if (!m_ctx.state.sort.sorting && !sortPanel->isBuilding() && !m_searchRunning) {
        for (const DocumentKind kind : {DocumentKind::Ansi, DocumentKind::Utf8, DocumentKind::Mht})
            loadButton(kind)->setEnabled(
                searchwindow::collectedTextLoadable(m_ctx.state.programFolder, searchTimeDatabase(), kind));
        TntEdit2->setEnabled(true);
        OKBtn->setEnabled(!text::trimControl(TntEdit2->text()).isEmpty());
    }
    // The memo takes the focus only from controls that do not take typed input: a paint
    // must not pull the caret out of the right search bar or the web lists.
    const QWidget *focused = QApplication::focusWidget();
    const bool typing = focused == TntEdit2 || focused == TntEdit1 || focused == TntListBox1
        || focused == TntComboBox1 || focused == TntListBox2;
    if (!typing && !ViewerMemo->toPlainText().isEmpty() && ViewerMemo->isVisible())
        ViewerMemo->setFocus();
}

std::vector<std::pair<QCheckBox *, const char16_t *>> TSuchForm::optionBoxes() const
{
    return {{AlleWoerterCheckBox, app::names::AlleWoerterSuchen},
            {UmlauteGleichwertigCheckBox, app::names::UmlauteGleichwertig},
            {FundstellenZaehlenCheckBox, app::names::FundstellenZaehlen},
            {AlleDatenbankenCheckBox, app::names::InAllenDatenbankenSuchen}};
}

QList<QWidget *> TSuchForm::searchOptionBoxes() const
{
    return {GrossKleinBeachten, NurGanzeWoerterCheckBox, AlleWoerterCheckBox, UmlauteGleichwertigCheckBox,
            FundstellenZaehlenCheckBox, AlleDatenbankenCheckBox};
}

void TSuchForm::firstPaint()
{
    m_firstPaint = false;
    Label2->hide();
    sortPanel->hide();
    ViewerMemo->setToolTip(u"Markieren Sie den Text mit der linken Maustaste. Danach rechter Maustastenklick.\n"
                           u"Text kann dann über Popup-Menü in linkes Sucheingabefeld eingefügt werden."_s);
    const int defaultWidth = app::defaultWindowWidth(m_ctx.services.system.screenWidth());
    resize(m_ctx.settings.readInt(s16(app::names::SWeite), defaultWidth),
           m_ctx.settings.readInt(s16(app::names::SHoehe), 500));
    TntEdit2->setFocus();
    Label1->setText(u"Geben Sie oben den Text ein, den Sie suchen.   Bei der Suche\n"
                    u"nach einem Pfadeintrag mit Dateinamen, setzen Sie das Raute-\n"
                    u"Zeichen # davor:     #C:\\Windows\\Dies ist ein Beispiel.txt"_s);
    for (QWidget *w : {static_cast<QWidget *>(ZeilenAlsListeSortieren), static_cast<QWidget *>(SuchImInternetBtn),
                       static_cast<QWidget *>(OKBtn), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(TntLabel1), static_cast<QWidget *>(TntComboBox1),
                       static_cast<QWidget *>(TntListBox1)})
        w->setEnabled(false);
    setBaseColour(TntComboBox1, QPalette::Button);
    setBaseColour(TntListBox1, QPalette::Button);
    m_webPanel->fillTopics();
    const int splitter = m_ctx.settings.readInt(s16(app::names::SplitterPos), kDefaultSplitterPos);
    Splitter1->setSizes({splitter, qMax(1, width() - splitter)});
    for (const auto &[box, name] : optionBoxes())
        box->setChecked(m_ctx.settings.read(s16(name)) == u"1"_s);
}

void TSuchForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    TntListBox2->hide();
    m_maximisedAtLastResize = isMaximized();
    const QSize wanted = adjustedSize(size());
    if (wanted != size())
        resize(wanted);
    updateMemoGeometry();
}

void TSuchForm::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_maximisedAtLastResize = isMaximized();
}

void TSuchForm::mousePressEvent(QMouseEvent *event)
{
    QDialog::mousePressEvent(event);
    FormClick();
}

void TSuchForm::FormClick()
{
    if (TntListBox2->isVisible())
        TntListBox2->hide();
}

void TSuchForm::Splitter1Moved()
{
    m_ctx.settings.write(s16(app::names::SplitterPos), QString::number(PanelLinks->width()));
}

void TSuchForm::SpeedButton1Click()
{
    // A missing manual or a failing open is not reported.
    m_ctx.services.shell.openUrl(m_ctx.state.programFolder + s16(paths::Manual));
}

void TSuchForm::SpeedButton2Click()
{
    // The dialog applies its font size to the viewers itself; the size is stored at close.
    m_links.showSettingsDialog();
}

void TSuchForm::ApplicationActivate()
{
    if (!m_ctx.services.system.windowClassExists(u"TMainform_Vespira_PLUS"_s))
        return;
    const std::optional<QString> text = searchwindow::readHandOffText(m_ctx.state.controlFolder);
    if (!text)
        return;
    m_ctx.state.handedOverSearchText = *text;
    TntEdit2->setText(*text);
}

void TSuchForm::routeWheel(QWidget *target, const QWheelEvent &wheel)
{
    // Qt already sends the wheel to the widget under the pointer; the viewer or the web
    // list also takes the focus when the pointer is over it.
    if (target->window() != this || !isVisible())
        return;
    const int x = mapFromGlobal(wheel.globalPosition().toPoint()).x();
    const QRect rechts(PanelRechts->mapTo(this, QPoint(0, 0)), PanelRechts->size());
    if (x >= rechts.left() && x <= rechts.right() && !Viewer->hasFocus())
        Viewer->setFocus();
    const QRect list(TntListBox1->mapTo(this, QPoint(0, 0)), TntListBox1->size());
    if (TntListBox1->isEnabled() && TntListBox1->isVisible() && x >= list.left() && x <= list.right())
        TntListBox1->setFocus();
}

bool TSuchForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == TntEdit2)
            guarded(m_ctx.services.dialogs, [&] { TntEdit2Click(); });
        else if (watched == ViewerMemo->viewport())
            guarded(m_ctx.services.dialogs,
                    [&] { ViewerMemoMouseDown(static_cast<QMouseEvent *>(event)->button()); });
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ViewerMemo->viewport()) {
            guarded(m_ctx.services.dialogs, [&] { ViewerMemoDblClick(); });
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        bool taken = false;
        if (watched == TntEdit2)
            guarded(m_ctx.services.dialogs, [&] { taken = TntEdit2KeyDown(key->key()); });
        else if (watched == TntEdit1)
            guarded(m_ctx.services.dialogs, [&] { taken = TntEdit1KeyDown(key->key()); });
        else if (watched == ViewerMemo)
            guarded(m_ctx.services.dialogs, [&] { taken = ViewerMemoKeyDown(key->key(), key->modifiers()); });
        if (taken)
            return true;
        break;
    }
    case QEvent::Resize:
        if (watched == Viewer)
            updateMemoGeometry();
        break;
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (watched == Viewer && !ViewerMemo->isVisible() && !m_ctx.state.view.mirrorSuspended)
            ViewerMemo->show();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TSuchForm::reject()
{
    // Esc and the window's close button act as "Abbrechen".
    guarded(m_ctx.services.dialogs, [&] { CancelBtnClick(); });
}

void TSuchForm::CancelBtnClick()
{
    auto &state = m_ctx.state;
    if (state.run.cancellable) {
        state.run.cancel.request();
        m_links.stopBusyIndicator();
    }
    if (sortPanel->SortAbbrechenButton->isEnabled())
        sortPanel->SortAbbrechenButtonClick();
    sortPanel->hide();
    state.catalog.runInProgress = false;
    QDialog::reject();
}

// The window's part of a search run; the main window's part goes to its own hooks.
class TSuchForm::RunUi final : public search::SearchRunUi
{
public:
    explicit RunUi(TSuchForm &form)
        : m_form {form}
    {
    }
    ~RunUi() override { holdOtherOperations(false); }

    void rememberView() override { m_form.m_viewMemory = m_form.rememberView(); }
    void reShowView() override { m_form.restoreView(m_form.m_viewMemory); }
    void setRunControlsEnabled(bool enabled) override
    {
        QList<QWidget *> controls {m_form.OKBtn, m_form.TntEdit2, m_form.SuchImInternetBtn};
        controls << m_form.searchOptionBoxes();
        for (QWidget *w : std::as_const(controls))
            w->setEnabled(enabled);
        m_form.m_searchRunning = !enabled;
        holdOtherOperations(!enabled);
    }
    void setCancelHint(const QString &hint) override { m_form.CancelBtn->setToolTip(hint); }
    void enableCancelButton() override { m_form.CancelBtn->setEnabled(true); }
    void setStatus(const QString &text) override
    {
        if (main())
            main()->setStatus(text);
    }
    void setBusy(bool busy) override
    {
        if (main())
            main()->setBusy(busy);
    }
    void endBusyIndication() override
    {
        if (main())
            main()->endBusyIndication();
    }
    void pause(int milliseconds) override { m_form.pause(milliseconds); }
    void setCaption(const QString &text) override { m_form.setWindowTitle(text); }
    void progress(qint64, qint64) override { m_pump(); }

private:
    search::SearchRunUi *main() const { return m_form.m_links.mainWindowRunUi(); }

    // Everything else that could start an operation of its own (a load, a find, the
    // settings dialog, the sort panel) waits for the whole run, while "Abbrechen" and Esc
    // stay live; afterwards each control is as it was before.
    void holdOtherOperations(bool hold)
    {
        if (hold && m_held.empty()) {
            for (QWidget *w : {static_cast<QWidget *>(m_form.ToolBar1), static_cast<QWidget *>(m_form.Splitter1),
                               static_cast<QWidget *>(m_form.ZeilenAlsListeSortieren),
                               static_cast<QWidget *>(m_form.UnicodeLadenButton),
                               static_cast<QWidget *>(m_form.UTF8LadenButton),
                               static_cast<QWidget *>(m_form.AnsiLadenButton)}) {
                m_held.emplace_back(w, !w->testAttribute(Qt::WA_ForceDisabled));
                w->setEnabled(false);
            }
        } else if (!hold) {
            for (const auto &[w, enabled] : m_held)
                w->setEnabled(enabled);
            m_held.clear();
        }
    }

    TSuchForm &m_form;
    EventPump m_pump;
    std::vector<std::pair<QWidget *, bool>> m_held;
};

void TSuchForm::OKBtnClick()
{
    // The button closes the window with the result OK whatever the run ends with; an
    // error of the run has been shown by then.
    guarded(m_ctx.services.dialogs, [&] {
        RunUi ui(*this);
        search::SearchRun run(m_ctx, ui);
        search::SearchRequest request;
        request.searchText = TntEdit2->text();
        request.databaseName = searchTimeDatabase();
        request.caseSensitive = GrossKleinBeachten->isChecked();
        request.wholeWords = NurGanzeWoerterCheckBox->isChecked();
        request.allWords = AlleWoerterCheckBox->isChecked();
        request.umlauts = UmlauteGleichwertigCheckBox->isChecked();
        request.countHits = FundstellenZaehlenCheckBox->isChecked();
        request.allDatabases = AlleDatenbankenCheckBox->isChecked();
        request.phrase = PhraseCheckBox->isChecked();
        request.copyToClipboard = m_links.searchTextClipboardWanted().value_or(false);
        const search::SearchOutcome outcome = run.run(request);
        if (outcome.searchText != TntEdit2->text()) {
            const QSignalBlocker quiet(TntEdit2); // only a trailing U+FFFD went
            TntEdit2->setText(outcome.searchText);
            echoSearchText();
        }
    });
    accept();
}

// ---------------------------------------------------------------------------------------
// Left search bar

void TSuchForm::setPhrase(bool phrase)
{
    PhraseCheckBox->setChecked(phrase);
    OderCheckBox->setChecked(!phrase);
}

void TSuchForm::PhraseCheckBoxClick()
{
    OderCheckBox->setChecked(!PhraseCheckBox->isChecked());
}

void TSuchForm::OderCheckBoxClick()
{
    PhraseCheckBox->setChecked(!OderCheckBox->isChecked());
}

void TSuchForm::TntEdit2Change()
{
    guarded(m_ctx.services.dialogs, [&] {
        const QString bar = TntEdit2->text();
        // A write-back that changes the text runs this handling again at once, for the new
        // text; what would follow here only repeats it (and would ask the path question twice).
        const QString leftTrimmed = text::trimControlLeft(bar);
        if (leftTrimmed != bar) {
            TntEdit2->setText(leftTrimmed);
            return;
        }
        const QString trimmed = text::trimControl(bar);
        setPhrase(searchwindow::choosesPhrase(trimmed));
        m_ctx.state.view.pathOpened = false;
        if (searchwindow::isPathShortcut(trimmed) && !handlePathShortcut(trimmed))
            return;
        if (const auto writeBack = searchwindow::tagRemnantWriteBack(bar); writeBack && *writeBack != bar) {
            TntEdit2->setText(*writeBack);
            return;
        }
        echoSearchText();
    });
}

bool TSuchForm::handlePathShortcut(const QString &trimmed)
{
    auto &dialogs = m_ctx.services.dialogs;
    auto &settings = m_ctx.settings;
    const DocPathMapper mapper([&settings](const QString &name) { return settings.read(name); });
    const auto target = searchwindow::resolvePathShortcut(trimmed, m_ctx.state.programFolder, mapper);
    if (target.missingExtension)
        dialogs.information(searchwindow::missingExtensionText(target.withoutLetter));
    if (target.nativeFile.isEmpty()) {
        dialogs.information(searchwindow::notFoundText(target.typed));
        CancelBtnClick();
        return false;
    }
    if (dialogs.confirm(searchwindow::openPathQuestion())) {
        m_ctx.state.view.pathOpened = true;
        m_ctx.services.shell.openUrl(target.nativeFile);
    } else {
        m_ctx.state.view.pathOpened = false;
    }
    return true;
}

void TSuchForm::echoSearchText()
{
    const QString bar = TntEdit2->text();
    TntLabel1->setText(u"Suchtext: "_s + bar);
    const bool hasText = !text::trimControl(bar).isEmpty();
    QColor colour = kGreen;
    if (hasText) {
        TntLabel1->setText(u"Suchtext: "_s + bar);
    } else {
        TntLabel1->setText(u"Es wurde kein Text eingegeben!"_s);
        const QString notice = m_ctx.state.noticeColorText.isEmpty() ? u"clWhite"_s : m_ctx.state.noticeColorText;
        colour = colorOfText(notice).value_or(QColor(Qt::white));
    }
    setFontColor(OKBtn, colour);
    setFontColor(SuchImInternetBtn, colour);
    for (QWidget *w : {static_cast<QWidget *>(OKBtn), static_cast<QWidget *>(TntComboBox1),
                       static_cast<QWidget *>(TntListBox1), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(TntLabel1), static_cast<QWidget *>(SuchImInternetBtn)})
        w->setEnabled(hasText);
    const auto role = hasText ? QPalette::Base : QPalette::Button;
    setBaseColour(TntComboBox1, role);
    setBaseColour(TntListBox1, role);
}

void TSuchForm::Button1Click()
{
    TntEdit2->clear();
}

void TSuchForm::placeDropDown()
{
    // As wide as the web panel, from the left panel's layout: the panel itself is hidden
    // until the first web search, or while the sorted-list controls take its place, and
    // then keeps a size it never had on screen.
    const QPoint under = TntEdit2->mapTo(PanelLinks, QPoint(0, TntEdit2->height()));
    const QRect column = PanelLinks->layout()->contentsRect();
    TntListBox2->setGeometry(column.x(), under.y(), column.width(), kDropDownHeight);
    TntListBox2->raise();
}

void TSuchForm::TntEdit2Click()
{
    if (TntListBox2->count() == 0)
        return;
    TntListBox2->setVisible(!TntListBox2->isVisible());
    placeDropDown();
}

void TSuchForm::TntListBox2Click(const QString &text)
{
    TntEdit2->setText(text);
    TntListBox2->hide();
    TntEdit2->setFocus();
    TntEdit2->deselect();
    TntEdit2->setCursorPosition(int(TntEdit2->text().size()));
}

bool TSuchForm::TntEdit2KeyDown(int key)
{
    TntListBox2->hide();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    OKBtn->setFocus();
    if (OKBtn->isEnabled())
        OKBtn->click();
    return true;
}

QStringList TSuchForm::searchTexts() const
{
    QStringList texts;
    for (int i = 0; i < TntListBox2->count(); ++i)
        texts << TntListBox2->item(i)->text();
    return texts;
}

void TSuchForm::setSearchTexts(const QStringList &texts)
{
    TntListBox2->clear();
    TntListBox2->addItems(texts);
}

void TSuchForm::setDropDownGrey(bool grey)
{
    m_dropDownGrey = grey;
    setListColor(TntListBox2, grey ? kGrey : QApplication::palette().color(QPalette::Base));
}

// ---------------------------------------------------------------------------------------
// Right search bar (find in the view)

bool TSuchForm::TntEdit1KeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    WeiterSucheClick();
    return true;
}

void TSuchForm::Button2Click()
{
    TntEdit1->clear();
}

void TSuchForm::TntEdit1Change()
{
    WeiterSuche->setEnabled(!TntEdit1->text().isEmpty());
    m_find.reset();
}

void TSuchForm::WeiterSucheClick()
{
    ViewerMemo->show();
    const auto &state = m_ctx.state;
    const DocumentKind kind = state.view.activeKind;
    if (kind == DocumentKind::None)
        return;
    const QString file = searchwindow::findFilePath(state.programFolder, searchTimeDatabase(), kind,
                                                    state.view.sortedListShown);
    const QString findText = TntEdit1->text();
    EventPump pump;
    const Progress progress([&](qint64, qint64) { pump(); },
                            kind == DocumentKind::Mht ? &m_ctx.state.run.cancel : nullptr);
    const auto step = m_find.next(file, kind, findText, progress);
    using Status = searchwindow::FindInViewer::Status;
    if (step.status == Status::Cancelled)
        return;
    if (step.status == Status::NotFound) {
        m_ctx.services.dialogs.information(s16(searchwindow::kNichtGefunden));
        return;
    }
    Viewer->setSelection(step.offset, step.selectionLength, true);
    Viewer->repaint(); // the memo selection below needs the refilled mirror
    const QString memoText = ViewerMemo->toPlainText();
    const qint64 start = searchwindow::memoSelectionStart(memoText, findText, memoSearchStart,
                                                          kind == DocumentKind::Ansi);
    QTextCursor cursor(ViewerMemo->document());
    if (start >= 0) {
        memoSearchStart = start;
        cursor.setPosition(int(start));
        cursor.setPosition(int(qMin<qint64>(start + findText.size(), memoText.size())), QTextCursor::KeepAnchor);
    }
    ViewerMemo->setTextCursor(cursor);
    ViewerMemo->setFocus();
    if (kind == DocumentKind::Mht)
        ViewerMemo->show();
    if (step.status == Status::FoundLast)
        m_ctx.services.dialogs.information(s16(searchwindow::kLetzteFundstelle));
}

// ---------------------------------------------------------------------------------------
// Document view

void TSuchForm::closeView()
{
    Viewer->openFile(QString());
    ViewerMemo->clear();
}

void TSuchForm::forgetView()
{
    closeView();
    ZeilenAlsListeSortieren->setEnabled(false);
    Label2->clear();
    Label8->clear();
}

void TSuchForm::prepareOpening(const SearchWindowOpening &opening)
{
    TntEdit2->setText(opening.searchText);
    if (opening.caption)
        Label8->setText(*opening.caption);
    if (opening.clearFindText)
        TntEdit1->clear();
    TntListBox2->hide();
}

void TSuchForm::AnsiLadenButtonClick()
{
    loadKind(DocumentKind::Ansi);
}

void TSuchForm::UTF8LadenButtonClick()
{
    loadKind(DocumentKind::Utf8);
}

void TSuchForm::UnicodeLadenButtonClick()
{
    loadKind(DocumentKind::Mht);
}

void TSuchForm::loadKind(DocumentKind kind)
{
    auto &view = m_ctx.state.view;
    const QString folder = m_ctx.state.programFolder;
    setDropDownGrey(false);
    view.mirrorSuspended = false;
    if (view.activeKind != kind) {
        Viewer->openFile(QString());
        ViewerMemo->clear();
    }
    view.sortedListShown = false;
    LesezeichenBtn->show();
    m_titles = db::TitlePositions::load(db::titlePositionsPath(folder, searchTimeDatabase(), row(kind).textKind));
    setSearchTexts(searchwindow::readSearchTextList(
        searchwindow::searchTextListPath(folder, m_ctx.state.catalog.selectedDatabase, kind)));
    view.viewerPainted = false;
    WeiterSuche->setEnabled(true);
    view.mirrorKind = kind;
    Viewer->setMirrorMode(kind == DocumentKind::Ansi   ? searchwindow::MirrorMode::Ansi
                          : kind == DocumentKind::Utf8 ? searchwindow::MirrorMode::Utf8
                                                       : searchwindow::MirrorMode::Utf16);
    Label2->clear();
    Label8->setText(s16(row(kind).loadingCaption));
    pause(100);
    QPushButton *button = loadButton(kind);
    button->setEnabled(false);
    view.lastLoadedKind = kind;
    suchbegriffeLaden(kind);
    button->setEnabled(true);
    Viewer->setFocus();
    TntEdit1Change();
    if (TntEdit1->text().isEmpty())
        WeiterSuche->setEnabled(false);
    const auto bookmark = searchwindow::bookmarkToRestore(
        m_ctx.settings.read(searchwindow::bookmarkValueName(kind, searchTimeDatabase())));
    if (bookmark && view.viewerPainted) {
        Viewer->scrollToOffset(*bookmark);
        Viewer->repaint();
    }
    view.activeKind = kind;
}

void TSuchForm::suchbegriffeLaden(DocumentKind kind)
{
    auto &view = m_ctx.state.view;
    const KindRow &r = row(kind);
    view.lastCaptionPrefix = s16(r.prefix);
    const QString folder = m_ctx.state.programFolder;
    const QString name = searchTimeDatabase();
    const QString file = db::collectedTextPath(folder, name, r.textKind);
    if (!paths::isRegularFile(file))
        return;
    Label8->setText(s16(r.captionHead) + u" \""_s + name + u"\"  Position: "_s);
    loadFile(kind, file);
    ZeilenAlsListeSortieren->setEnabled(paths::isRegularFile(db::filePath(folder, name, s16(r.sortedListSuffix))));
}

void TSuchForm::loadFile(DocumentKind kind, const QString &path)
{
    const searchwindow::CollectedTextHead head = searchwindow::readCollectedTextHead(path);
    // Decided before it is set: a detour through 8-bit mode would re-anchor the view of a
    // file that stays open.
    Viewer->setMode(head.utf16 ? searchwindow::ViewerMode::vbmodeUnicode : searchwindow::ViewerMode::vbmodeText);
    if (!head.opened)
        return;
    if (const QString caption = searchwindow::emptyCollectedTextCaption(kind, head); !caption.isEmpty())
        Label8->setText(caption);
    Viewer->openFile(path);
    Viewer->repaint(); // the load reads the painted flag and the mirror right after
}

void TSuchForm::Timer2Timer()
{
    if (m_ctx.state.view.sortedListShown)
        return;
    Timer2->stop();
    ZeigDieTitelAn();
}

void TSuchForm::ZeigDieTitelAn()
{
    const qint64 position = m_ctx.state.view.viewPosition;
    Label2->show();
    Label2->setText(text::groupedNumber(position));
    if (m_titles.isEmpty() || Label8->text().contains(u"Sortierte "_s))
        return;
    const auto title = searchwindow::titleAt(m_titles.entries(), position);
    if (title)
        Label2->setToolTip(*title);
    const QFontMetrics metrics(Label2->font());
    const int left = Label2->x();
    const int panelWidth = PanelRechts->width();
    Label2->setText(searchwindow::shortenCaption(searchwindow::titleCaption(position, title),
        [&](const QString &caption) { return left + metrics.horizontalAdvance(caption) >= panelWidth; }));
}

void TSuchForm::LetztesUmbruchZeicheEntfernen()
{
    QString all = ViewerMemo->toPlainText();
    const QTextCursor caret = ViewerMemo->textCursor();
    if (all.endsWith(u'\n') && caret.blockNumber() == ViewerMemo->document()->blockCount() - 1) {
        QTextCursor last(ViewerMemo->document());
        last.movePosition(QTextCursor::End);
        last.deletePreviousChar();
    }
}

void TSuchForm::ViewerScroll()
{
    ViewerMemo->hide();
    Viewer->clearSelection();
}

void TSuchForm::ViewerMemoDblClick()
{
    QTextCursor cursor = ViewerMemo->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    ViewerMemo->setTextCursor(cursor);
}

bool TSuchForm::ViewerMemoKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Tab:
        TntEdit1->setFocus();
        TntEdit1->deselect();
        TntEdit1->setCursorPosition(int(TntEdit1->text().size()));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
        Viewer->processKey(key, modifiers);
        Viewer->repaint();
        return true;
    }
    default:
        return false;
    }
}

void TSuchForm::ViewerMemoMouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        TextinSuchleistelinksbertragen1->setEnabled(ViewerMemo->textCursor().hasSelection());
}

void TSuchForm::LesezeichenBtnClick()
{
    const auto &view = m_ctx.state.view;
    if (!view.viewerPainted)
        return;
    const QString name = searchwindow::bookmarkValueName(view.mirrorKind, searchTimeDatabase());
    if (name.isEmpty())
        return;
    m_ctx.settings.write(name, searchwindow::bookmarkText(view.viewPosition));
}

void TSuchForm::TextinSuchleistelinksbertragen1Click()
{
    QString selected = ViewerMemo->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    if (!text::trimControl(selected).isEmpty())
        TntEdit2->setText(selected);
}

TSuchForm::ViewMemory TSuchForm::rememberView() const
{
    ViewMemory memory;
    memory.firstLine = ViewerMemo->document()->firstBlock().text();
    const QTextCursor cursor = ViewerMemo->textCursor();
    memory.selectionStart = cursor.selectionStart();
    memory.selectionLength = cursor.selectionEnd() - cursor.selectionStart();
    return memory;
}

void TSuchForm::restoreView(const ViewMemory &memory)
{
    auto &view = m_ctx.state.view;
    if (view.sortedListShown) {
        sortPanel->ZeilenAlsListeSortierenClick();
    } else if (view.lastLoadedKind != DocumentKind::None) {
        loadKind(view.lastLoadedKind);
    }
    const QString firstLine = ViewerMemo->document()->firstBlock().text();
    const qint64 length = ViewerMemo->document()->characterCount() - 1;
    const qint64 start = searchwindow::restoredSelectionStart(memory.firstLine, memory.selectionStart, firstLine);
    QTextCursor cursor(ViewerMemo->document());
    cursor.setPosition(int(qBound<qint64>(0, start, length)));
    cursor.setPosition(int(qBound<qint64>(0, start + memory.selectionLength, length)), QTextCursor::KeepAnchor);
    ViewerMemo->setTextCursor(cursor);
    ViewerMemo->ensureCursorVisible();
}

// ---------------------------------------------------------------------------------------
// Sort panel

void TSuchForm::closeViewForSort()
{
    closeView();
    Label2->clear();
    Label8->clear();
}

void TSuchForm::setSearchControlsLocked(bool locked)
{
    QList<QWidget *> controls {TntEdit2, TntEdit1, SpeedButton2, CancelBtn, WeiterSuche};
    controls << searchOptionBoxes();
    for (QWidget *w : std::as_const(controls))
        w->setEnabled(!locked);
    if (!locked)
        return;
    for (QWidget *w : {static_cast<QWidget *>(ZeilenAlsListeSortieren), static_cast<QWidget *>(AnsiLadenButton),
                       static_cast<QWidget *>(UTF8LadenButton), static_cast<QWidget *>(UnicodeLadenButton),
                       static_cast<QWidget *>(OKBtn)})
        w->setEnabled(false);
}

void TSuchForm::enableLoadButtons(const lists::LoadButtons &buttons)
{
    if (buttons.ansi)
        AnsiLadenButton->setEnabled(true);
    if (buttons.utf8)
        UTF8LadenButton->setEnabled(true);
    if (buttons.mht)
        UnicodeLadenButton->setEnabled(true);
}

void TSuchForm::setPanel2Visible(bool visible)
{
    Panel2->setVisible(visible);
}

QColor TSuchForm::statusColor() const
{
    // The hidden label the status line takes its colour from carries the notice colour.
    const QString notice = m_ctx.state.noticeColorText.isEmpty() ? u"clWhite"_s : m_ctx.state.noticeColorText;
    return colorOfText(notice).value_or(QColor());
}

void TSuchForm::prepareViewForList()
{
    m_find.reset();
    memoSearchStart = 0;
    LesezeichenBtn->hide();
    WeiterSuche->setEnabled(true);
}

void TSuchForm::loadSortedList(const lists::SortedListView &view)
{
    loadFile(view.loadAs, view.path);
    m_ctx.state.view.lastCaptionPrefix = view.kindPrefix;
    Label8->setText(view.label8Caption);
    Label2->clear();
}

// ---------------------------------------------------------------------------------------
// Web panel

std::optional<bool> TSuchForm::searchTextClipboardWanted() const
{
    return m_links.searchTextClipboardWanted();
}

std::optional<QColor> TSuchForm::mainWindowBackground() const
{
    return m_links.mainWindowBackground();
}

void TSuchForm::hideSearchTermDropDown()
{
    if (TntListBox2->isVisible())
        TntListBox2->hide();
}

void TSuchForm::refocusViewerSelection()
{
    if (ViewerMemo->textCursor().hasSelection() && ViewerMemo->isVisible())
        ViewerMemo->setFocus();
}

void TSuchForm::updateMemoGeometry()
{
    const int width = m_wholeTextFits ? Viewer->width() + 4 : Viewer->width() - 16;
    ViewerMemo->setGeometry(0, 0, qMax(0, width), Viewer->height());
    QMargins lines = Viewer->textMargins();
    lines.setRight(0);
    ViewerMemo->matchLines(Viewer->lineHeight(), lines);
}

void TSuchForm::wireViewer()
{
    Viewer->setMouseTracking(true);
    Viewer->setErrorHandler([this](const QString &text) { m_ctx.services.dialogs.error(text); });
    Viewer->setClipboardSink([this](const QString &text) { m_ctx.services.clipboard.setText(text); });
    // The viewer paints its lines; while no search run suspends it, the memo mirror takes
    // them as text the user can select.
    connect(Viewer, &TTextViewer::paintStarted, this, [this](qint64 position) {
        m_ctx.state.view.viewPosition = position;
        if (!m_ctx.state.view.mirrorSuspended)
            m_mirrorLines.clear();
    });
    connect(Viewer, &TTextViewer::linePainted, this, [this](const QString &line) {
        if (m_ctx.state.view.mirrorSuspended)
            return;
        m_ctx.state.view.viewerPainted = true;
        m_mirrorLines << line;
    });
    connect(Viewer, &TTextViewer::paintFinished, this, [this] {
        if (m_ctx.state.view.mirrorSuspended)
            return;
        const QString text = m_mirrorLines.join(u'\n');
        if (text != ViewerMemo->toPlainText())
            ViewerMemo->setPlainText(text);
        updateMemoGeometry();
        guarded(m_ctx.services.dialogs, [&] { LetztesUmbruchZeicheEntfernen(); });
        Timer2->start();
    });
    connect(Viewer, &TTextViewer::scrollBarsUpdated, this, [this](bool fits) {
        m_wholeTextFits = fits;
        updateMemoGeometry();
    });
    connect(Viewer, &TTextViewer::scrolled, this, [this] { guarded(m_ctx.services.dialogs, [&] { ViewerScroll(); }); });
    connect(Viewer, &TTextViewer::transferToSearchBar, this, [this](QString text) {
        text.replace(QChar(0), u' ');
        TntEdit2->setText(text);
    });
}

} // namespace vespira::gui
