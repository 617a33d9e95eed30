#include "gui/app/mainform.h"

#include "core/app/catalog.h"
#include "core/app/colortext.h"
#include "core/app/shutdown.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/common/textfile.h"
#include "core/search/searchrun.h"
#include "core/searchwindow/searchtextlists.h"
#include "gui/app/artwork.h"
#include "gui/app/databaselist.h"
#include "gui/common/appearance.h"
#include "gui/common/colors.h"
#include "gui/common/guarded.h"
#include "gui/common/hints.h"
#include "gui/common/machpause.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/suchform.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
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
    void endBusyIndication() override
    {
        m_form.GedultTimer->stop();
        m_form.GeduldLabel->clear();
    }

private:
    TMainForm_Vespira_HTML &m_form;
};

TMainForm_Vespira_HTML::TMainForm_Vespira_HTML(app::Context &context, QWidget *parent)
    : QMainWindow {parent}
    , m_ctx {context}
    , m_runUi {std::make_unique<RunUi>(*this)}
{
    setObjectName(u"TMainForm_Vespira_HTML"_s);
    buildControls();
    showSearchWindow = [this] { return m_suchForm ? m_suchForm->exec() : int(QDialog::Rejected); };
    showSettingsDialog = [this] { return m_einstellform ? m_einstellform->exec() : int(QDialog::Rejected); };

    app::ShellHooks &hooks = m_ctx.state.hooks;
    hooks.startBusyIndicator = [this] { GedultTimer->start(); };
    hooks.stopBusyIndicator = [this] { GedultTimer->stop(); };
    hooks.clearBusyLabel = [this] { GeduldLabel->clear(); };
    hooks.pauseMs = [this](int ms) { MachPause1->PauseMs(ms); };

    guarded(m_ctx.services.dialogs, [this] { FormCreate(); });
}

TMainForm_Vespira_HTML::~TMainForm_Vespira_HTML()
{
    m_ctx.state.hooks = {};
    if (m_suchForm) {
        m_suchForm->removeEventFilter(this);
        m_suchForm->hooks.mainWindowRunUi = nullptr;
        m_suchForm->hooks.showSettings = {};
        m_suchForm->hooks.stopBusyIndicator = {};
        m_suchForm->hooks.searchTextToClipboard = {};
    }
}

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
    Datenbankloeschen1 = PopupMenu1->addAction(u"Datenbank löschen"_s);
    Datenbankloeschen1->setObjectName(u"Datenbankloeschen1"_s);

    auto hiddenMemo = [central](const QString &name) {
        auto *memo = new QPlainTextEdit(central);
        memo->setObjectName(name);
        memo->hide();
        return memo;
    };
    Memo = hiddenMemo(u"Memo"_s);
    TntMemo1 = hiddenMemo(u"TntMemo1"_s);
    TntMemo2 = hiddenMemo(u"TntMemo2"_s);
    TntMemo3 = hiddenMemo(u"TntMemo3"_s);
    TntMemo4 = hiddenMemo(u"TntMemo4"_s);
    TempZwischenablage = hiddenMemo(u"TempZwischenablage"_s);
    LogMemo = hiddenMemo(u"LogMemo"_s);
    TntRichEdit1 = new QTextEdit(central);
    TntRichEdit1->setObjectName(u"TntRichEdit1"_s);
    TntRichEdit1->hide();
    Edit1 = new QLineEdit(central);
    Edit1->setObjectName(u"Edit1"_s);
    Edit1->hide();
    TntEdit1 = new QLineEdit(central);
    TntEdit1->setObjectName(u"TntEdit1"_s);
    TntEdit1->hide();

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
    connect(GedultTimer, &QTimer::timeout, this, wire([this] { GedultTimerTimer(); }));
}

void TMainForm_Vespira_HTML::setWindows(TEinstellform *einstellform, TSuchForm *suchForm)
{
    if (m_suchForm)
        m_suchForm->removeEventFilter(this);
    m_einstellform = einstellform;
    m_suchForm = suchForm;
    if (!m_suchForm)
        return;
    m_suchForm->installEventFilter(this);
    m_suchForm->hooks.mainWindowRunUi = m_runUi.get();
    m_suchForm->hooks.showSettings = [this] { SpeedButton2Click(); };
    m_suchForm->hooks.stopBusyIndicator = [this] {
        GedultTimer->stop();
        Label1->clear();
    };
    // The tick as it stands, not the stored value: they differ when none is stored yet and
    // after the box was changed and the dialog left with "&Abbruch".
    const QPointer<TEinstellform> settingsDialog = m_einstellform;
    m_suchForm->hooks.searchTextToClipboard = [settingsDialog] {
        return settingsDialog && settingsDialog->SuchtextInClipbrdCheckBox->isChecked();
    };
    if (m_einstellform) {
        // The settings dialog's "Sortierte Listen erstellen" opens the search window's panel.
        const QPointer<TSuchForm> search = m_suchForm;
        m_einstellform->setSortPanelOpener([search] {
            if (search)
                search->sortPanel->openPanel();
        });
    }
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
    app::provideSharedFiles(state.programFolder,
                            QCoreApplication::applicationDirPath() + u"/../share/doc/vespira-html"_s);
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
    const int fontSize = app::viewerFontSize(settings);
    if (m_suchForm) {
        for (QWidget *viewer : {childNamed(m_suchForm, u"Viewer"_s), static_cast<QWidget *>(m_suchForm->ViewerMemo)}) {
            if (!viewer)
                continue;
            QFont font = viewer->font();
            font.setPointSize(fontSize);
            viewer->setFont(font);
        }
    }

    // 3
    state.browser = settings.read(setting(app::names::Browser));
    if (state.browser.isEmpty()) {
        state.browser = u"standard"_s;
        settings.write(setting(app::names::Browser), state.browser);
    }

    // 4
    const ProgramWindows windows {this, m_einstellform.data(), m_suchForm.data()};
    const QString colorText = settings.read(setting(app::names::Farbe));
    const std::optional<app::color::ColorNumber> colorNumber = app::color::parseColorText(colorText);
    state.colorText = colorNumber ? colorText : app::color::formatColorText(app::color::clHighlight);
    applyStartBackground(windows, colorNumber ? std::optional<QColor>(toQColor(*colorNumber)) : std::nullopt);
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
    applyNoticeColor(windows, *notice);

    // 6, 7
    const QString copyWord = settings.read(setting(app::names::SuchwortInZwischenablage));
    if (!copyWord.isEmpty() && m_einstellform)
        m_einstellform->SuchtextInClipbrdCheckBox->setChecked(copyWord == u"1"_s);
    const QString hints = settings.read(setting(app::names::KurzhinweisImViewer));
    if (!hints.isEmpty()) {
        if (m_einstellform)
            m_einstellform->KurzhinweisImViewerZeigenCheckBox->setChecked(hints == u"1"_s);
        if (m_suchForm)
            setHintsShown(m_suchForm->ViewerMemo, hints == u"1"_s);
    }

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
    state.administrator = m_ctx.services.system.isAdministrator();
    setWindowTitle(state.administrator ? u"Vespira-HTML-Dodad - Mit Administratorberechtigung gestartet."_s
                                       : u"  Vespira-HTML-Dodad -  Die Suchmaschine für HTML-Dokumente."_s);

    // 13
    if (m_suchForm)
        m_suchForm->resize(m_sizes.searchWidth, m_sizes.searchHeight);

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
    if (m_suchForm) {
        values.viewerFontSize = m_suchForm->ViewerMemo->font().pointSize();
        values.searchWindowMaximised = m_searchWindowMaximised;
        values.searchHeight = m_suchForm->height();
        values.searchWidth = m_suchForm->width();
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
        // Through QDialog, whose reject() is public; the windows' own overrides still run.
        if (m_suchForm && m_suchForm->isVisible())
            static_cast<QDialog *>(m_suchForm)->reject();
        if (m_einstellform && m_einstellform->isVisible())
            static_cast<QDialog *>(m_einstellform)->reject();
    });
}

void TMainForm_Vespira_HTML::finishModal()
{
    --m_modalDepth;
    if (m_modalDepth == 0 && m_closeConfirmed)
        QTimer::singleShot(0, this, &QWidget::close);
}

bool TMainForm_Vespira_HTML::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_suchForm && (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange))
        m_searchWindowMaximised = m_suchForm->isMaximized();
    return QMainWindow::eventFilter(watched, event);
}

// ---- frame buttons ------------------------------------------------------------------

void TMainForm_Vespira_HTML::SpeedButton1Click()
{
    m_ctx.services.shell.openUrl(m_ctx.state.programFolder + QString::fromUtf16(paths::Manual));
}

void TMainForm_Vespira_HTML::SpeedButton2Click()
{
    ++m_modalDepth;
    struct Done
    {
        TMainForm_Vespira_HTML *form;
        ~Done() { form->finishModal(); }
    } done {this};
    showSettingsDialog();
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
    if (!m_suchForm)
        return;
    m_suchForm->closeView();
    m_suchForm->ZeilenAlsListeSortieren->setEnabled(false);
    m_suchForm->Label2->clear();
    m_suchForm->Label8->clear();
}

void TMainForm_Vespira_HTML::loadGeneralSearchTextList()
{
    if (!m_suchForm)
        return;
    const QString path = searchwindow::searchTextListPath(m_ctx.state.programFolder,
                                                          m_ctx.state.catalog.selectedDatabase,
                                                          app::DocumentKind::None);
    if (!paths::isRegularFile(path))
        return;
    m_suchForm->setSearchTexts(searchwindow::readSearchTextList(path));
    m_suchForm->setDropDownGrey(true);
}

void TMainForm_Vespira_HTML::ListBox1Click()
{
    const int index = ListBox1->selectedIndex();
    if (index < 0)
        return; // a click beside the entries selects nothing
    app::AppState &state = m_ctx.state;
    state.view.viewerPainted = false;
    if (m_suchForm)
        m_suchForm->closeView();
    state.catalog.clickedIndex = index;
    state.catalog.selectedDatabase = ListBox1->item(index)->text();
    m_ctx.settings.write(setting(app::names::AusgewaehlteDatenbank), QString::number(index));
    if (m_suchForm) {
        m_suchForm->Label8->clear();
        m_suchForm->Label2->clear();
        m_suchForm->ZeilenAlsListeSortieren->setEnabled(false);
    }
    state.view.bookmarkPosition = 0;
    state.view.activeKind = app::DocumentKind::None;
    if (m_suchForm) {
        m_suchForm->TntListBox2->clear();
        loadGeneralSearchTextList();
    }
}

void TMainForm_Vespira_HTML::ListBox1MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    Q_UNUSED(globalPos);
    if (button != Qt::RightButton || ListBox1->count() == 0)
        return;
    PopupMenu1->popup(QCursor::pos() + QPoint(10, 10));
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
    const bool ok = guarded(dialogs, [&] {
        // 1
        if (state.sort.viewClosedBySort) {
            forgetSearchView();
            state.sort.viewClosedBySort = false;
        }
        // 2
        Label1->clear();
        Label2->clear();
        QDir::setCurrent(state.programFolder);
        catalog.runInProgress = true;

        // 3
        const int index = ListBox1->selectedIndex();
        if (index < 0) {
            dialogs.information(ListBox1->count() > 0
                                    ? u"Markieren Sie eine Datenbank und betätigen Sie dann nochmal den Suchen Schalter!"_s
                                    : u"Es existiert noch keine Datenbank! "_s);
            catalog.runInProgress = false;
            return;
        }
        catalog.searchTimeDatabase = ListBox1->item(index)->text();
        if (!m_suchForm) {
            catalog.runInProgress = false;
            return;
        }
        const QString quotedName = u"\""_s + catalog.searchTimeDatabase + u"\""_s;

        // 4
        const QString handOff = state.controlFolder + u"Datenbank/Suchtext.txt"_s;
        if (state.controlFolderActive && paths::isRegularFile(handOff)) {
            QString text = state.handedOverSearchText;
            // The file is deleted below; read it first when the activation did not.
            if (text.isEmpty())
                text = searchwindow::decodeByByteOrderMark(readWholeFile(handOff));
            m_suchForm->TntEdit2->setText(text);
            m_suchForm->Label8->setText(u"DB: "_s + quotedName + u"  Position: "_s);
            QFile::remove(handOff);
        } else {
            m_suchForm->TntEdit2->clear();
        }

        // 5
        if (catalog.clickedIndex != catalog.lastSearchIndex) {
            m_suchForm->TntEdit1->clear();
            catalog.lastSearchIndex = catalog.clickedIndex;
        }

        // 6
        if (state.view.viewerPainted) {
            QString caption = state.view.lastCaptionPrefix + u"DB: "_s + quotedName;
            if (!state.view.sortedListShown)
                caption += u"  Position: "_s;
            m_suchForm->Label8->setText(caption);
        }

        // 7
        if (m_suchForm->dropDownIsGrey())
            loadGeneralSearchTextList();

        // 8, 9
        m_suchForm->TntListBox2->hide();
        int result = QDialog::Rejected;
        {
            ++m_modalDepth;
            struct Done
            {
                TMainForm_Vespira_HTML *form;
                ~Done() { form->finishModal(); }
            } done {this};
            result = showSearchWindow();
        }
        if (result != QDialog::Accepted || m_closeConfirmed) {
            catalog.runInProgress = false;
            return;
        }

        // 10
        const QString searchText = m_suchForm->TntEdit2->text();
        if (text::trimControl(searchText).isEmpty()) {
            dialogs.information(u"Sie haben keinen Suchtext eingegeben!"_s);
            GedultTimer->stop();
            GeduldLabel->clear();
            Label1->clear();
            catalog.runInProgress = false;
            return;
        }

        // 11
        GedultTimer->start();
        Label1->setText(u"Suche läuft."_s);
        placeBusyLabel();

        // 12
        QStringList texts = m_suchForm->searchTexts();
        std::exception_ptr failure;
        try {
            searchwindow::updateSearchTextListsAfterSearch(texts, searchText, state.programFolder,
                                                           catalog.selectedDatabase, state.view.activeKind,
                                                           state.run);
        } catch (...) {
            failure = std::current_exception();
        }
        m_suchForm->setSearchTexts(texts);
        if (failure)
            std::rethrow_exception(failure);

        // 13
        Label1->setText(u"Fertig mit der Suche."_s);
        GedultTimer->stop();
        catalog.runInProgress = false;
    });
    if (!ok) {
        // The error box has been shown; nothing may stay busy behind it.
        GedultTimer->stop();
        GeduldLabel->clear();
        Label1->clear();
        catalog.runInProgress = false;
    }
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
