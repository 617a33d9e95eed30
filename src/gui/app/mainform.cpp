#include "gui/app/mainform.h"

#include "core/app/catalog.h"
#include "core/app/colortext.h"
#include "core/app/shutdown.h"
#include "core/common/installfolders.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/search/searchrun.h"
#include "core/searchwindow/handoff.h"
#include "core/searchwindow/searchtextlists.h"
#include "gui/app/artwork.h"
#include "gui/app/databasedialog.h"
#include "gui/app/databaselist.h"
#include "gui/common/colors.h"
#include "gui/common/guarded.h"
#include "gui/common/machpause.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

QString setting(const char16_t *name)
{
    return QString::fromUtf16(name);
}

QFont arialUnicode(int pixelSize)
{
    QFont font(u"Arial Unicode MS"_s);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

const QString closeCaption = u"Schli&eßen"_s;

} // namespace

// The main window's part of a search run: Label1, the busy indicator and the pause.
class TMainForm_Vespira_HTML::RunUi final : public search::SearchRunUi
{
public:
    explicit RunUi(TMainForm_Vespira_HTML &form)
        : m_form {form}
    {
    }

    void setStatus(const QString &text) override { m_form.Label1->setText(text); }
    void setBusy(bool busy) override
    {
        if (busy) {
            m_form.GedultTimer->start();
            m_form.placeBusyLabel();
        } else {
            m_form.GedultTimer->stop();
        }
    }
    void pause(int milliseconds) override { m_form.MachPause1->PauseMs(milliseconds); }
    void endBusyIndication() override { m_form.endBusyIndication(); }

private:
    TMainForm_Vespira_HTML &m_form;
};

// Ends what a press of the search button started, at whichever exit it leaves: the
// run-in-progress flag, and the busy indication unless the search finished.
class TMainForm_Vespira_HTML::RunScope final
{
public:
    explicit RunScope(TMainForm_Vespira_HTML &form)
        : m_form {form}
    {
        m_form.m_ctx.state.catalog.runInProgress = true;
    }
    ~RunScope()
    {
        if (!m_finished) {
            m_form.endBusyIndication();
            m_form.Label1->clear();
        }
        m_form.m_ctx.state.catalog.runInProgress = false;
    }
    RunScope(const RunScope &) = delete;
    RunScope &operator=(const RunScope &) = delete;

    void finished()
    {
        m_finished = true;
        m_form.Label1->setText(u"Fertig mit der Suche."_s);
        m_form.GedultTimer->stop();
    }

private:
    TMainForm_Vespira_HTML &m_form;
    bool m_finished = false;
};

TMainForm_Vespira_HTML::TMainForm_Vespira_HTML(app::Context &context, WindowLinks &links, QWidget *parent)
    : QMainWindow {parent}
    , m_ctx {context}
    , m_links {links}
    , m_runUi {std::make_unique<RunUi>(*this)}
{
    setObjectName(u"TMainForm_Vespira_HTML"_s);
    buildControls();
    showSearchWindow = [this] { return m_links.execSearchWindow(); };
    showSettingsDialog = [this] { return m_links.execSettingsDialog(); };
    guarded(m_ctx.services.dialogs, [this] { FormCreate(); });
}

TMainForm_Vespira_HTML::~TMainForm_Vespira_HTML() = default;

void TMainForm_Vespira_HTML::buildControls()
{
    resize(833, 419);
    setMinimumSize(app::MinMainWidth, app::MinMainHeight);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(u"ToolBar1"_s);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(40);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setStyleSheet(u"QToolBar { border: none; spacing: 0px; padding: 2px; }"_s);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    SpeedButton3 = new QToolButton(ToolBar1);
    SpeedButton3->setObjectName(u"SpeedButton3"_s);
    SpeedButton3->setText(u"  Vespira-HTML-Dodad 4.0"_s);
    SpeedButton3->setEnabled(false);
    SpeedButton3->setAutoRaise(true);
    SpeedButton3->setFixedSize(230, 33);
    SpeedButton3->setFont(arialUnicode(15));
    ToolButton1 = new QWidget(ToolBar1);
    ToolButton1->setObjectName(u"ToolButton1"_s);
    ToolButton1->setFixedHeight(33);
    SpeedButton1 = new QToolButton(ToolBar1);
    SpeedButton1->setObjectName(u"SpeedButton1"_s);
    SpeedButton1->setText(u"?"_s);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFixedSize(33, 33);
    SpeedButton1->setFont(arialUnicode(18));
    SpeedButton1->setToolTip(u"Handbuch"_s);
    SpeedButton2 = new QToolButton(ToolBar1);
    SpeedButton2->setObjectName(u"SpeedButton2"_s);
    SpeedButton2->setIcon(settingsIcon());
    SpeedButton2->setIconSize(QSize(24, 24));
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setFixedSize(33, 33);
    SpeedButton2->setToolTip(u"Einstellungen"_s);
    ToolBar1->addWidget(SpeedButton3);
    ToolBar1->addWidget(ToolButton1);
    ToolBar1->addWidget(SpeedButton1);
    ToolBar1->addWidget(SpeedButton2);

    auto *central = new QWidget(this);
    central->setObjectName(u"ClientArea"_s);
    setCentralWidget(central);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);

    ListBox1 = new DatabaseListBox(central);
    ListBox1->setObjectName(u"ListBox1"_s);
    ListBox1->setFont(arialUnicode(16));
    ListBox1->setItemDelegate(new DatabaseItemDelegate([this] { return backgroundColor(this); }, ListBox1));
    ListBox1->setIconSize(QSize(24, 21));

    Panel1 = new QFrame(central);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setToolTip(u"Hier könnte Ihr Logo Eindruck machen!"_s);
    Panel1->setFixedSize(220, 64);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(0, 0, 220, 64);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(logoImage()));
    Image2 = new QLabel(central);
    Image2->setObjectName(u"Image2"_s);
    Image2->setFixedSize(24, 21);
    Image2->setPixmap(QPixmap::fromImage(databaseGlyphImage()));
    Image2->hide();

    SuchenBtn = new QPushButton(u"&Suchen"_s, central);
    SuchenBtn->setObjectName(u"SuchenBtn"_s);
    SuchenBtn->setToolTip(u"In der ausgewählten Datenbank wird nach Text gesucht."_s);
    SuchenBtn->setIcon(searchIcon());
    SuchenBtn->setLayoutDirection(Qt::RightToLeft); // picture on the right
    SuchenBtn->setMinimumHeight(34);
    SuchenBtn->setFont(arialUnicode(14));
    SuchenBtn->setDefault(true);
    BitBtn2 = new QPushButton(closeCaption, central);
    BitBtn2->setObjectName(u"BitBtn2"_s);
    BitBtn2->setMinimumHeight(34);
    BitBtn2->setFont(arialUnicode(14));

    Label1 = new QLabel(central);
    Label1->setObjectName(u"Label1"_s);
    Label1->setFont(arialUnicode(15));
    Label2 = new QLabel(central);
    Label2->setObjectName(u"Label2"_s);
    Label2->setFont(arialUnicode(15));
    GeduldLabel = new QLabel(u"."_s, central);
    GeduldLabel->setObjectName(u"GeduldLabel"_s);
    GeduldLabel->setFont(arialUnicode(16));

    grid->addWidget(ListBox1, 0, 0, 4, 1);
    grid->addWidget(Panel1, 0, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(SuchenBtn, 1, 1);
    grid->addWidget(BitBtn2, 2, 1);
    grid->addWidget(Label1, 4, 0, 1, 2);
    grid->addWidget(Label2, 5, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowMinimumHeight(4, 22);
    grid->setRowMinimumHeight(5, 22);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    NeueDatenbank1 = PopupMenu1->addAction(u"Neue Datenbank …"_s);
    NeueDatenbank1->setObjectName(u"NeueDatenbank1"_s);
    DatenbankAktualisieren1 = PopupMenu1->addAction(u"Datenbank aktualisieren"_s);
    DatenbankAktualisieren1->setObjectName(u"DatenbankAktualisieren1"_s);
    DatenbankNeuAufbauen1 = PopupMenu1->addAction(u"Datenbank neu aufbauen"_s);
    DatenbankNeuAufbauen1->setObjectName(u"DatenbankNeuAufbauen1"_s);
    PopupMenu1->addSeparator();
    Datenbankloeschen1 = PopupMenu1->addAction(u"Datenbank löschen"_s);
    Datenbankloeschen1->setObjectName(u"Datenbankloeschen1"_s);

    GedultTimer = new QTimer(this);
    GedultTimer->setObjectName(u"GedultTimer"_s);
    GedultTimer->setInterval(1000);
    MachPause1 = new TMachPause(this);
    MachPause1->setObjectName(u"MachPause1"_s);
    MachPause1->setInterval(1000);

    auto &dialogs = m_ctx.services.dialogs;
    auto wire = [&dialogs](auto handler) {
        return [&dialogs, handler] { guarded(dialogs, handler); };
    };
    connect(ListBox1, &DatabaseListBox::entryClicked, this, wire([this] { ListBox1Click(); }));
    connect(ListBox1, &DatabaseListBox::entryDoubleClicked, this, [this] { SuchenBtnClick(); });
    connect(ListBox1, &DatabaseListBox::rightPressed, this, [this, &dialogs](const QPoint &pos) {
        guarded(dialogs, [&] { ListBox1MouseDown(Qt::RightButton, pos); });
    });
    connect(SuchenBtn, &QPushButton::clicked, this, [this] { SuchenBtnClick(); });
    connect(BitBtn2, &QPushButton::clicked, this, wire([this] { BitBtn2Click(); }));
    connect(SpeedButton1, &QToolButton::clicked, this, wire([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, wire([this] { SpeedButton2Click(); }));
    connect(Datenbankloeschen1, &QAction::triggered, this, [this] { Datenbankloeschen1Click(); });
    connect(NeueDatenbank1, &QAction::triggered, this, [this] { NeueDatenbank1Click(); });
    connect(DatenbankAktualisieren1, &QAction::triggered, this, [this] { DatenbankAktualisieren1Click(); });
    connect(DatenbankNeuAufbauen1, &QAction::triggered, this, [this] { DatenbankNeuAufbauen1Click(); });
    connect(GedultTimer, &QTimer::timeout, this, wire([this] { GedultTimerTimer(); }));
}

search::SearchRunUi &TMainForm_Vespira_HTML::runUi()
{
    return *m_runUi;
}

void TMainForm_Vespira_HTML::stopBusyIndicator()
{
    GedultTimer->stop();
    Label1->clear();
}

void TMainForm_Vespira_HTML::endBusyIndication()
{
    GedultTimer->stop();
    GeduldLabel->clear();
}

void TMainForm_Vespira_HTML::applyBackgroundColour(const QColor &color)
{
    setBackgroundColor(this, color);
    setBackgroundColor(Panel1, color);
    Image1->setAutoFillBackground(false);
}

void TMainForm_Vespira_HTML::applyNoticeColour(const QColor &color)
{
    for (QWidget *w : QList<QWidget *> {SpeedButton1, SpeedButton2, Label1, Label2, GeduldLabel})
        setFontColor(w, color);
}

void TMainForm_Vespira_HTML::restoreSize(QSize size)
{
    resize(size);
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm_Vespira_HTML::repaintAll()
{
    const QSize now = size();
    resize(now.width() + 1, now.height());
    resize(now);
    update();
}

// ---- start --------------------------------------------------------------------------

void TMainForm_Vespira_HTML::FormCreate()
{
    app::AppState &state = m_ctx.state;
    if (state.programFolder.isEmpty()) {
        state.programFolder = paths::decideProgramFolder(QCoreApplication::arguments(),
                                                         QCoreApplication::applicationDirPath(),
                                                         QDir::currentPath());
    }
    Label1->clear();
    Label2->clear();
    m_sizes = app::prepareStart(m_ctx);
    const QString shared = paths::installedShareFolder(QCoreApplication::applicationDirPath());
    if (!shared.isEmpty())
        app::provideSharedFiles(state.programFolder, shared);
}

void TMainForm_Vespira_HTML::FormPaint()
{
    if (!m_firstShow)
        return;
    // Cleared first: a failing step must not make every later paint run the pass again.
    m_firstShow = false;
    app::Settings &settings = m_ctx.settings;
    app::AppState &state = m_ctx.state;

    // 1
    GeduldLabel->clear();

    // 2
    m_links.applyViewerFontSize(app::viewerFontSize(settings));

    // 3
    state.browser = settings.read(setting(app::names::Browser));
    if (state.browser.isEmpty()) {
        state.browser = u"standard"_s;
        settings.write(setting(app::names::Browser), state.browser);
    }

    // 4
    const QString colorText = settings.read(setting(app::names::Farbe));
    const std::optional<app::color::ColorNumber> colorNumber = app::color::parseColorText(colorText);
    state.colorText = colorNumber ? colorText : app::color::formatColorText(app::color::clHighlight);
    m_links.applyBackgroundColour(colorNumber ? std::optional<QColor>(toQColor(*colorNumber)) : std::nullopt);
    const QImage logo = logoImage();
    if (colorNumber && *colorNumber != 0xBBBBBB)
        Image1->setPixmap(withColorTransparent(logo, logo.pixel(0, logo.height() - 1)));
    else
        Image1->setPixmap(QPixmap::fromImage(logo));

    // 5
    QString noticeText = settings.read(setting(app::names::HinweistextFarbe));
    std::optional<QColor> notice = colorOfText(noticeText);
    if (!notice) {
        noticeText = app::color::formatColorText(app::color::clWhite);
        notice = toQColor(app::color::clWhite);
    }
    state.noticeColorText = noticeText;
    m_links.applyNoticeColour(*notice);

    // 6, 7
    const auto storedSwitch = [&settings](const char16_t *name) -> std::optional<bool> {
        const QString value = settings.read(setting(name));
        return value.isEmpty() ? std::nullopt : std::optional<bool>(value == u"1"_s);
    };
    m_links.showStoredSwitches(storedSwitch(app::names::SuchwortInZwischenablage),
                               storedSwitch(app::names::KurzhinweisImViewer));

    // 8
    m_itemGlyph = withRedTransparent(Image2->pixmap().toImage());

    // 9
    resize(m_sizes.width, m_sizes.height);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // 10
    LiesNamenDatenbanken();
    const int count = ListBox1->count();
    const int restored = app::restoreSelectionIndex(settings.read(setting(app::names::AusgewaehlteDatenbank)), count);
    if (restored >= 0) {
        ListBox1->selectQuietly(restored);
        state.catalog.selectedDatabase = ListBox1->item(restored)->text();
        state.catalog.clickedIndex = restored;
        state.catalog.lastSearchIndex = restored;
    }

    // 11
    BitBtn2->setText(closeCaption);

    // 12
    setWindowTitle(m_ctx.services.system.isAdministrator() ? u"Vespira-HTML-Dodad - Mit Administratorberechtigung gestartet."_s
                                       : u"  Vespira-HTML-Dodad -  Die Suchmaschine für HTML-Dokumente."_s);

    // 13
    m_links.resizeSearchWindow(QSize(m_sizes.searchWidth, m_sizes.searchHeight));

    // 14
    if (count > 0)
        ListBox1Click();
}

void TMainForm_Vespira_HTML::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_firstShow)
        guarded(m_ctx.services.dialogs, [this] { FormPaint(); });
}

// ---- size ---------------------------------------------------------------------------

void TMainForm_Vespira_HTML::FormResize()
{
    if (height() < app::MinMainHeight || width() < app::MinMainWidth)
        resize(std::max(width(), app::MinMainWidth), std::max(height(), app::MinMainHeight));
    ToolButton1->setFixedWidth(
        std::max(0, width() - 3 * SpeedButton1->width() - SpeedButton3->width() + 2));
}

void TMainForm_Vespira_HTML::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    guarded(m_ctx.services.dialogs, [this] { FormResize(); });
}

// ---- close --------------------------------------------------------------------------

bool TMainForm_Vespira_HTML::FormCloseQuery()
{
    if (m_closeConfirmed)
        return true;
    if (m_asking)
        return false;
    m_asking = true;
    const bool yes = m_ctx.services.dialogs.confirm(u"Vespira-HTML wirklich schließen?"_s);
    m_asking = false;
    return yes;
}

void TMainForm_Vespira_HTML::FormClose()
{
    app::CloseValues values;
    values.selectedIndex = ListBox1->selectedIndex();
    values.entryCount = ListBox1->count();
    values.height = height();
    values.width = width();
    if (const std::optional<SearchWindowFrame> frame = m_links.searchWindowFrame()) {
        values.viewerFontSize = frame->viewerFontSize;
        values.searchWindowMaximised = frame->maximised;
        values.searchHeight = frame->size.height();
        values.searchWidth = frame->size.width();
    } else {
        values.searchWindowMaximised = true; // nothing to write back
    }
    // The temp folder is emptied even when the settings cannot be written.
    struct EmptyTemp
    {
        QString folder;
        ~EmptyTemp() { app::emptyTempFolder(folder); }
    } emptyTemp {m_ctx.state.programFolder};
    app::writeBackOnClose(m_ctx.settings, values);
}

void TMainForm_Vespira_HTML::closeEvent(QCloseEvent *event)
{
    bool proceed = false;
    guarded(m_ctx.services.dialogs, [&] { proceed = FormCloseQuery(); });
    if (!proceed) {
        event->ignore();
        return;
    }
    guarded(m_ctx.services.dialogs, [this] { FormClose(); });
    event->accept();
}

void TMainForm_Vespira_HTML::ApplicationEvents1Message(int message, int wParam)
{
    if (message != CloseRequestMessage || wParam != CloseRequestParam)
        return;
    guarded(m_ctx.services.dialogs, [this] {
        if (m_modalDepth == 0) {
            close();
            return;
        }
        // A modal window of ours is open: ask now, then let the handler that opened it
        // unwind before the window closes.
        if (!FormCloseQuery())
            return;
        m_closeConfirmed = true;
        m_ctx.state.run.cancel.request();
        m_ctx.state.sort.sortCancel.request();
        m_links.rejectModalWindows();
        if (m_databaseForm && m_databaseForm->isVisible())
            m_databaseForm->reject(); // stops a build; the database stays as it was
    });
}

void TMainForm_Vespira_HTML::finishModal()
{
    --m_modalDepth;
    if (m_modalDepth == 0 && m_closeConfirmed)
        QTimer::singleShot(0, this, &QWidget::close);
}

// ---- frame buttons ------------------------------------------------------------------

void TMainForm_Vespira_HTML::SpeedButton1Click()
{
    m_ctx.services.shell.openUrl(m_ctx.state.programFolder + QString::fromUtf16(paths::Manual));
}

void TMainForm_Vespira_HTML::SpeedButton2Click()
{
    showModal(showSettingsDialog);
}

int TMainForm_Vespira_HTML::showModal(const std::function<int()> &show)
{
    ++m_modalDepth;
    struct Done
    {
        TMainForm_Vespira_HTML *form;
        ~Done() { form->finishModal(); }
    } done {this};
    return show();
}

// ---- catalog ------------------------------------------------------------------------

void TMainForm_Vespira_HTML::LiesNamenDatenbanken()
{
    ListBox1->clear();
    const QStringList names = app::LiesNamenDatenbanken(m_ctx.state.programFolder);
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, ListBox1);
        item->setData(Qt::DecorationRole, m_itemGlyph);
    }
}

void TMainForm_Vespira_HTML::forgetSearchView()
{
    m_links.forgetSearchView();
}

void TMainForm_Vespira_HTML::loadGeneralSearchTextList()
{
    if (!m_links.hasSearchWindow())
        return;
    const QString path = searchwindow::searchTextListPath(m_ctx.state.programFolder,
                                                          m_ctx.state.catalog.selectedDatabase,
                                                          app::DocumentKind::None);
    if (!paths::isRegularFile(path))
        return;
    m_links.showSearchTexts(searchwindow::readSearchTextList(path), true);
}

void TMainForm_Vespira_HTML::ListBox1Click()
{
    const int index = ListBox1->selectedIndex();
    if (index < 0)
        return; // a click beside the entries selects nothing
    app::AppState &state = m_ctx.state;
    state.view.viewerPainted = false;
    m_links.forgetSearchView();
    state.catalog.clickedIndex = index;
    state.catalog.selectedDatabase = ListBox1->item(index)->text();
    m_ctx.settings.write(setting(app::names::AusgewaehlteDatenbank), QString::number(index));
    state.view.activeKind = app::DocumentKind::None;
    if (m_links.hasSearchWindow()) {
        m_links.showSearchTexts({}, m_links.generalSearchTextsShown());
        loadGeneralSearchTextList();
    }
}

void TMainForm_Vespira_HTML::ListBox1MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    Q_UNUSED(globalPos);
    if (button != Qt::RightButton)
        return;
    // Without a database there is only one to make.
    const bool any = ListBox1->count() > 0;
    for (QAction *action : PopupMenu1->actions())
        action->setVisible(any || action == NeueDatenbank1);
    PopupMenu1->popup(QCursor::pos() + QPoint(10, 10));
}

void TMainForm_Vespira_HTML::setDatabaseForm(TDatenbankForm *form)
{
    m_databaseForm = form;
}

void TMainForm_Vespira_HTML::NeueDatenbank1Click()
{
    if (!m_databaseForm)
        return;
    ++m_modalDepth;
    struct Done
    {
        TMainForm_Vespira_HTML *form;
        ~Done() { form->finishModal(); }
    } done {this};
    guarded(m_ctx.services.dialogs, [this] { showMadeDatabase(m_databaseForm->NeueDatenbank()); });
}

void TMainForm_Vespira_HTML::DatenbankAktualisieren1Click()
{
    renewSelectedDatabase(false);
}

void TMainForm_Vespira_HTML::DatenbankNeuAufbauen1Click()
{
    renewSelectedDatabase(true);
}

void TMainForm_Vespira_HTML::renewSelectedDatabase(bool rebuild)
{
    const int index = ListBox1->selectedIndex();
    if (!m_databaseForm || index < 0)
        return;
    const QString name = ListBox1->item(index)->text();
    // The view may hold the files the build replaces.
    forgetSearchView();
    ++m_modalDepth;
    struct Done
    {
        TMainForm_Vespira_HTML *form;
        ~Done() { form->finishModal(); }
    } done {this};
    guarded(m_ctx.services.dialogs, [&] {
        showMadeDatabase(rebuild ? m_databaseForm->NeuAufbauen(name) : m_databaseForm->Aktualisieren(name));
    });
}

// After a build: the catalog anew, with the database made selected as a click selects it.
void TMainForm_Vespira_HTML::showMadeDatabase(const QString &name)
{
    if (name.isEmpty())
        return;
    LiesNamenDatenbanken();
    for (int i = 0; i < ListBox1->count(); ++i) {
        if (ListBox1->item(i)->text() == name) {
            ListBox1->selectQuietly(i);
            ListBox1Click();
            return;
        }
    }
}

void TMainForm_Vespira_HTML::Datenbankloeschen1Click()
{
    guarded(m_ctx.services.dialogs, [this] {
        const int index = ListBox1->selectedIndex();
        if (index >= 0) {
            const QString name = ListBox1->item(index)->text();
            m_ctx.state.catalog.searchTimeDatabase = name;
            if (m_ctx.services.dialogs.confirm(u"Möchten Sie die Datenbank \""_s + name + u"\" wirklich löschen?"_s)) {
                forgetSearchView();
                app::deleteDatabaseFiles(m_ctx.state.programFolder, name);
            }
        }
        LiesNamenDatenbanken();
        if (ListBox1->count() > 0)
            ListBox1->selectQuietly(0);
    });
}

// ---- search -------------------------------------------------------------------------

void TMainForm_Vespira_HTML::SuchenBtnClick()
{
    app::AppState &state = m_ctx.state;
    app::CatalogState &catalog = state.catalog;
    platform::Dialogs &dialogs = m_ctx.services.dialogs;
    guarded(dialogs, [&] {
        // 1
        if (state.sort.viewClosedBySort) {
            forgetSearchView();
            state.sort.viewClosedBySort = false;
        }
        // 2
        Label1->clear();
        Label2->clear();
        RunScope scope(*this);

        // 3
        const int index = ListBox1->selectedIndex();
        if (index < 0) {
            dialogs.information(ListBox1->count() > 0
                                    ? u"Markieren Sie eine Datenbank und betätigen Sie dann nochmal den Suchen Schalter!"_s
                                    : u"Es existiert noch keine Datenbank! "_s);
            return;
        }
        catalog.searchTimeDatabase = ListBox1->item(index)->text();
        if (!m_links.hasSearchWindow())
            return;
        const QString quotedName = u"\""_s + catalog.searchTimeDatabase + u"\""_s;
        SearchWindowOpening opening;

        // 4
        if (state.controlFolderActive) {
            if (const auto handedOver = searchwindow::takeHandOffText(state.controlFolder, state.handedOverSearchText)) {
                opening.searchText = *handedOver;
                opening.caption = u"DB: "_s + quotedName + u"  Position: "_s;
            }
        }

        // 5
        if (catalog.clickedIndex != catalog.lastSearchIndex) {
            opening.clearFindText = true;
            catalog.lastSearchIndex = catalog.clickedIndex;
        }

        // 6
        if (state.view.viewerPainted) {
            QString caption = state.view.lastCaptionPrefix + u"DB: "_s + quotedName;
            if (!state.view.sortedListShown)
                caption += u"  Position: "_s;
            opening.caption = caption;
        }
        m_links.prepareSearchWindow(opening);

        // 7
        if (m_links.generalSearchTextsShown())
            loadGeneralSearchTextList();

        // 8, 9
        const int result = showModal(showSearchWindow);
        if (result != QDialog::Accepted || m_closeConfirmed)
            return;

        // 10
        const QString searchText = m_links.searchWindowText();
        if (text::trimControl(searchText).isEmpty()) {
            dialogs.information(u"Sie haben keinen Suchtext eingegeben!"_s);
            return;
        }

        // 11
        GedultTimer->start();
        Label1->setText(u"Suche läuft."_s);
        placeBusyLabel();

        // 12
        QStringList texts = m_links.searchTexts();
        std::exception_ptr failure;
        try {
            searchwindow::updateSearchTextListsAfterSearch(texts, searchText, state.programFolder,
                                                           catalog.selectedDatabase, state.view.activeKind,
                                                           state.run);
        } catch (...) {
            failure = std::current_exception();
        }
        m_links.showSearchTexts(texts, m_links.generalSearchTextsShown());
        if (failure)
            std::rethrow_exception(failure);

        // 13
        scope.finished();
    });
}

void TMainForm_Vespira_HTML::BitBtn2Click()
{
    app::AppState &state = m_ctx.state;
    if (!state.catalog.runInProgress) {
        close();
        return;
    }
    BitBtn2->setText(closeCaption);
    state.sort.sortCancel.request();
    state.catalog.runInProgress = false;
}

// ---- busy indicator -----------------------------------------------------------------

void TMainForm_Vespira_HTML::placeBusyLabel()
{
    GeduldLabel->move(app::busyLabelLeft(BitBtn2->x(), BitBtn2->width()), GeduldLabel->y());
}

void TMainForm_Vespira_HTML::GedultTimerTimer()
{
    const QString text = m_ticks.tick();
    GeduldLabel->move(app::busyLabelLeft(BitBtn2->x(), BitBtn2->width()), Label1->y() + 2);
    GeduldLabel->setText(text);
    GeduldLabel->adjustSize();
    GeduldLabel->raise();
    placeBusyLabel();
}

} // namespace vespira::gui
