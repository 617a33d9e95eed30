#include "gui/searchwindow/sortpanel.h"

#include "core/common/docpath.h"
#include "core/lists/sortrun.h"
#include "gui/common/eventpump.h"
#include "gui/common/guarded.h"

#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

// The status line after a build that an error ended; the error box says which.
constexpr char16_t FailedStatus[] = u"Abgebrochen wegen eines Fehlers";

} // namespace

SortPanel::SortPanel(app::Context &context, QWidget *parent)
    : QWidget {parent}
    , m_ctx {context}
{
    setObjectName(u"SortPanel"_s);
    Bevel5 = new QFrame(this);
    Bevel5->setObjectName(u"Bevel5"_s);
    Bevel5->setFrameShape(QFrame::Box);
    Bevel5->setFrameShadow(QFrame::Sunken);
    Label4 = new QLabel(u"Sortierte Liste von: "_s, Bevel5);
    Label4->setObjectName(u"Label4"_s);
    ProgressBar1 = new QProgressBar(Bevel5);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    SortierteListenErstellenButton = new QPushButton(u"Sortierte Listen erstellen"_s, Bevel5);
    SortierteListenErstellenButton->setObjectName(u"SortierteListenErstellenButton"_s);
    SortAbbrechenButton = new QPushButton(u"Abbrechen / Schließen"_s, Bevel5);
    SortAbbrechenButton->setObjectName(u"SortAbbrechenButton"_s);
    RadioGroup1 = new QGroupBox(Bevel5);
    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    nurWoerterButton = new QRadioButton(u"Nur Wörter"_s, RadioGroup1);
    nurWoerterButton->setObjectName(u"nurWoerterButton"_s);
    nurWoerterButton->setChecked(true);
    nurSaetzeButton = new QRadioButton(u"Nur Sätze (Phrasen)"_s, RadioGroup1);
    nurSaetzeButton->setObjectName(u"nurSaetzeButton"_s);
    WoerterUndSaetzeButton = new QRadioButton(u"Wörter und Sätze"_s, RadioGroup1);
    WoerterUndSaetzeButton->setObjectName(u"WoerterUndSaetzeButton"_s);
    auto *radios = new QVBoxLayout(RadioGroup1);
    radios->addWidget(nurWoerterButton);
    radios->addWidget(nurSaetzeButton);
    radios->addWidget(WoerterUndSaetzeButton);

    auto *grid = new QGridLayout(Bevel5);
    grid->addWidget(Label4, 0, 0, 1, 2);
    grid->addWidget(ProgressBar1, 1, 0, 1, 2);
    grid->addWidget(RadioGroup1, 0, 2, 3, 1);
    grid->addWidget(SortierteListenErstellenButton, 2, 0);
    grid->addWidget(SortAbbrechenButton, 2, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Bevel5);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(1000);

    connect(SortierteListenErstellenButton, &QPushButton::clicked, this, &SortPanel::SortierteListenErstellenButtonClick);
    connect(SortAbbrechenButton, &QPushButton::clicked, this, &SortPanel::SortAbbrechenButtonClick);
    connect(Timer1, &QTimer::timeout, this, &SortPanel::Timer1Timer);
    setVisible(false);
}

void SortPanel::setHost(SortPanelHost *host)
{
    m_host = host ? host : &m_noHost;
}

QString SortPanel::confirmationText(const QString &name)
{
    return u"Möchten Sie die Dokumente von \""_s + name + u"\" sortieren?\r\n"_s
        + u"Vorhandene sortierte Listen werden überschrieben! Wenn JA, dann \r\n"_s
        + u"klicken Sie anschließend auf den Schalter \"Sortierte Listen erstellen\""_s;
}

void SortPanel::openPanel()
{
    m_ctx.state.sort.sortCancel.clear();
    setVisible(true);
    m_host->setPanel2Visible(false);
}

lists::SplitMode SortPanel::splitMode() const
{
    if (nurSaetzeButton->isChecked())
        return lists::SplitMode::Phrases;
    if (WoerterUndSaetzeButton->isChecked())
        return lists::SplitMode::WordsAndPhrases;
    return lists::SplitMode::Words;
}

QString SortPanel::databaseName() const
{
    return m_ctx.state.catalog.searchTimeDatabase;
}

void SortPanel::setCaption(const QString &caption)
{
    window()->setWindowTitle(caption);
}

void SortPanel::pause(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void SortPanel::setPanelControlsEnabled(bool enabled)
{
    SortierteListenErstellenButton->setEnabled(enabled);
    nurWoerterButton->setEnabled(enabled);
    nurSaetzeButton->setEnabled(enabled);
    WoerterUndSaetzeButton->setEnabled(enabled);
}

void SortPanel::lockForBuild()
{
    m_host->setSearchControlsLocked(true);
    setPanelControlsEnabled(false);
    m_locked = true;
}

void SortPanel::unlockAfterBuild()
{
    setPanelControlsEnabled(true);
    m_host->setSearchControlsLocked(false);
    ProgressBar1->setValue(0);
    m_locked = false;
}

void SortPanel::SortierteListenErstellenButtonClick()
{
    // A click that arrives while a build pumps events must not start a second one.
    if (m_building)
        return;
    m_building = true;
    guarded(m_ctx.services.dialogs, [&] { build(); });
    m_building = false;
}

void SortPanel::build()
{
    const QString name = databaseName();
    ProgressBar1->setStyleSheet(u"QProgressBar::chunk { background-color: rgb(0, 255, 0); }"_s);
    m_host->closeViewForSort();
    m_ctx.state.sort.viewClosedBySort = true;
    const QColor color = m_host->statusColor();
    if (color.isValid()) {
        QPalette palette = Label4->palette();
        palette.setColor(QPalette::WindowText, color);
        Label4->setPalette(palette);
    }

    // Drive folders do not change during a build: each is read from the settings once.
    QHash<QString, QString> driveFolders;
    DocPathMapper mapper([this, &driveFolders](const QString &setting) {
        auto it = driveFolders.find(setting);
        if (it == driveFolders.end())
            it = driveFolders.insert(setting, m_ctx.settings.read(setting));
        return *it;
    });
    lists::SortRunRequest request {m_ctx.state.programFolder, name, splitMode(), mapper, lists::PieceSize};

    EventPump pump;
    lists::SortRunCallbacks callbacks;
    callbacks.progress = [&](qint64 position, qint64 maximum) {
        ProgressBar1->setMaximum(int(std::clamp<qint64>(maximum, 0, INT_MAX)));
        ProgressBar1->setValue(int(std::clamp<qint64>(position, 0, maximum)));
        pump();
    };
    callbacks.caption = [&](const QString &caption) {
        if (!Timer1->isActive() && caption.startsWith(u"Sortierung von: "))
            Timer1->start();
        setCaption(caption);
    };
    // Cutting lets events through as well, so the controls are locked from the first cut:
    // a local search started meanwhile would empty the folder the pieces are cut into.
    callbacks.status = [&](const QString &status) {
        Label4->setText(status);
        lockForBuild();
    };
    callbacks.buildStarting = [&] {
        m_host->closeViewForSort();
        lockForBuild();
        ProgressBar1->setMinimum(0);
    };
    callbacks.fileFinished = [&](const QString &, bool written) {
        if (written)
            m_host->enableLoadButtons(lists::loadButtonsFor(m_ctx.state.programFolder, name));
        ProgressBar1->setValue(ProgressBar1->maximum());
        pause(pauseAfterListMs);
    };

    lists::SortRunOutcome outcome = lists::SortRunOutcome::Finished;
    try {
        outcome = lists::SortierteListenErstellen(request, m_ctx.state.sort, m_ctx.state.run.replacementDrive, callbacks);
    } catch (...) {
        // A failed cut or write is reported by the caller; the window must not stay locked,
        // nor its caption say that the build still runs.
        if (m_locked)
            unlockAfterBuild();
        Label4->setText(QString::fromUtf16(FailedStatus));
        setCaption(QString());
        throw;
    }
    if (outcome == lists::SortRunOutcome::NoCollectedFile) {
        m_ctx.services.dialogs.information(lists::noDocumentsMessage(name));
        return;
    }
    unlockAfterBuild();
    Label4->setText(u"Fertig"_s);
    setCaption(QString());
}

void SortPanel::SortAbbrechenButtonClick()
{
    guarded(m_ctx.services.dialogs, [&] {
        m_ctx.state.sort.sortCancel.request();
        setCaption(u"Abbruch durch Benutzer! Bitte Geduld! Ich höre gleich auf!"_s);
        // The build stops at its next check; cutting counts as building here.
        if (m_ctx.state.sort.sorting || m_building)
            return;
        setVisible(false);
        m_host->enableLoadButtons(lists::loadButtonsFor(m_ctx.state.programFolder, databaseName()));
        setPanelControlsEnabled(true);
        m_host->setSearchControlsLocked(false);
        Label4->setText(u"Sortierte Liste von: "_s);
        ProgressBar1->setValue(0);
        setCaption(QString());
        m_host->setPanel2Visible(true);
    });
}

void SortPanel::Timer1Timer()
{
    ++m_ctx.state.sort.timerTicks;
    if (!m_ctx.state.sort.sortCancel.isRequested())
        return;
    // A build still unwinding from the cancel is closed at a later tick; stopping the timer
    // now would leave the panel open.
    if (m_building)
        return;
    m_ctx.state.sort.sorting = false;
    SortAbbrechenButtonClick();
    if (m_ctx.state.sort.timerTicks >= 10)
        Timer1->stop();
}

void SortPanel::ZeilenAlsListeSortierenClick()
{
    guarded(m_ctx.services.dialogs, [&] {
        app::ViewState &view = m_ctx.state.view;
        view.mirrorSuspended = false;
        view.sortedListShown = true;
        m_host->prepareViewForList();
        if (const auto list = lists::sortedListFor(m_ctx.state.programFolder, databaseName(), view.activeKind))
            m_host->loadSortedList(*list);
        m_host->TntEdit1Change();
    });
}

} // namespace vespira::gui
