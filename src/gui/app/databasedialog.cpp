#include "gui/app/databasedialog.h"

#include "core/common/paths.h"
#include "core/db/dbfiles.h"
#include "core/platform/folderchooser.h"
#include "gui/common/colors.h"
#include "gui/common/guarded.h"
#include "producer/progresstext.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

namespace {

// Skipped files beyond this many are only counted in the box.
constexpr int SkipLinesShown = 20;

QFont arialUnicode(int pixelSize, bool bold)
{
    QFont font(u"Arial Unicode MS"_s);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString skipLines(const QStringList &skipped)
{
    QStringList lines = skipped.mid(0, SkipLinesShown);
    if (skipped.size() > SkipLinesShown)
        lines << u"… und %1 weitere"_s.arg(skipped.size() - SkipLinesShown);
    return lines.join(u'\n');
}

} // namespace

TDatenbankForm::TDatenbankForm(app::Context &context, platform::FolderChooser &folders, QWidget *parent)
    : QDialog {parent}
    , m_ctx {context}
    , m_folders {folders}
{
    setObjectName(u"TDatenbankForm"_s);
    setModal(true);
    buildControls();
    showModal = [this] { return exec(); };
    connect(&m_build, &DatabaseBuild::progressed, this, [this](const producer::IndexProgress &p) { showProgress(p); });
    connect(&m_build, &DatabaseBuild::finished, this, [this](const BuildOutcome &outcome) {
        guarded(m_ctx.services.dialogs, [&] { buildFinished(outcome); });
    });
}

TDatenbankForm::~TDatenbankForm() = default;

void TDatenbankForm::buildControls()
{
    setWindowTitle(u"Datenbank erstellen"_s);
    setFont(arialUnicode(14, false));
    resize(640, 400);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    const auto label = [this](const QString &text) {
        auto *l = new QLabel(text, this);
        l->setFont(arialUnicode(15, true));
        return l;
    };

    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(u"NameEdit"_s);
    NameEdit->setMaxLength(120);
    NameHinweis = new QLabel(this);
    NameHinweis->setObjectName(u"NameHinweis"_s);
    NameHinweis->setWordWrap(true);
    NameHinweis->setMinimumWidth(220);
    grid->addWidget(label(u"Name:"_s), 0, 0);
    grid->addWidget(NameEdit, 0, 1);
    grid->addWidget(NameHinweis, 0, 2);

    OrdnerListe = new QListWidget(this);
    OrdnerListe->setObjectName(u"OrdnerListe"_s);
    OrdnerListe->setSelectionMode(QAbstractItemView::SingleSelection);
    OrdnerHinzuBtn = new QPushButton(u"Ordner &hinzufügen …"_s, this);
    OrdnerHinzuBtn->setObjectName(u"OrdnerHinzuBtn"_s);
    OrdnerEntfernenBtn = new QPushButton(u"Ordner &entfernen"_s, this);
    OrdnerEntfernenBtn->setObjectName(u"OrdnerEntfernenBtn"_s);
    auto *folderButtons = new QVBoxLayout;
    folderButtons->addWidget(OrdnerHinzuBtn);
    folderButtons->addWidget(OrdnerEntfernenBtn);
    folderButtons->addStretch(1);
    grid->addWidget(label(u"Ordner:"_s), 1, 0, Qt::AlignTop);
    grid->addWidget(OrdnerListe, 1, 1);
    grid->addLayout(folderButtons, 1, 2);

    HtmlCheckBox = new QCheckBox(u"HTML/HTM"_s, this);
    HtmlCheckBox->setObjectName(u"HtmlCheckBox"_s);
    MhtCheckBox = new QCheckBox(u"MHT/MHTML"_s, this);
    MhtCheckBox->setObjectName(u"MhtCheckBox"_s);
    EmlCheckBox = new QCheckBox(u"EML"_s, this);
    EmlCheckBox->setObjectName(u"EmlCheckBox"_s);
    auto *kinds = new QHBoxLayout;
    for (QCheckBox *box : {HtmlCheckBox, MhtCheckBox, EmlCheckBox}) {
        box->setChecked(true);
        kinds->addWidget(box);
    }
    kinds->addStretch(1);
    grid->addWidget(label(u"Dokumente:"_s), 2, 0);
    grid->addLayout(kinds, 2, 1, 1, 2);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    FortschrittLabel = new QLabel(this);
    FortschrittLabel->setObjectName(u"FortschrittLabel"_s);
    FortschrittLabel->setFont(arialUnicode(14, true));
    FortschrittLabel->setWordWrap(true);
    grid->addWidget(ProgressBar1, 3, 0, 1, 3);
    grid->addWidget(FortschrittLabel, 4, 0, 1, 3);

    ErstellenBtn = new QPushButton(u"E&rstellen"_s, this);
    ErstellenBtn->setObjectName(u"ErstellenBtn"_s);
    ErstellenBtn->setDefault(true);
    ErstellenBtn->setMinimumHeight(32);
    AbbrechenBtn = new QPushButton(u"&Abbrechen"_s, this);
    AbbrechenBtn->setObjectName(u"AbbrechenBtn"_s);
    AbbrechenBtn->setMinimumHeight(32);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ErstellenBtn);
    buttons->addWidget(AbbrechenBtn);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    auto &dialogs = m_ctx.services.dialogs;
    const auto wire = [&dialogs](auto handler) { return [&dialogs, handler] { guarded(dialogs, handler); }; };
    connect(NameEdit, &QLineEdit::textChanged, this, wire([this] { NameEditChange(); }));
    connect(OrdnerHinzuBtn, &QPushButton::clicked, this, wire([this] { OrdnerHinzuBtnClick(); }));
    connect(OrdnerEntfernenBtn, &QPushButton::clicked, this, wire([this] { OrdnerEntfernenBtnClick(); }));
    connect(OrdnerListe, &QListWidget::currentRowChanged, this, wire([this] { refreshState(); }));
    for (QCheckBox *box : {HtmlCheckBox, MhtCheckBox, EmlCheckBox})
        connect(box, &QCheckBox::toggled, this, wire([this] { ArtCheckBoxClick(); }));
    connect(ErstellenBtn, &QPushButton::clicked, this, wire([this] { ErstellenBtnClick(); }));
    connect(AbbrechenBtn, &QPushButton::clicked, this, wire([this] { AbbrechenBtnClick(); }));
}

// ---- opening ------------------------------------------------------------------------

QString TDatenbankForm::NeueDatenbank()
{
    return openFor(Mode::Create, {});
}

QString TDatenbankForm::Aktualisieren(const QString &name)
{
    return openFor(Mode::Update, name);
}

QString TDatenbankForm::NeuAufbauen(const QString &name)
{
    return openFor(Mode::Rebuild, name);
}

QString TDatenbankForm::openFor(Mode mode, const QString &name)
{
    if (m_build.running())
        return {};
    m_mode = mode;
    m_written.clear();
    m_closeWhenStopped = false;
    if (QWidget *owner = parentWidget())
        setBackgroundColor(this, backgroundColor(owner));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    FortschrittLabel->clear();
    AbbrechenBtn->setEnabled(true);

    producer::IndexOptions stored;
    if (mode == Mode::Create) {
        setWindowTitle(u"Datenbank erstellen"_s);
        NameEdit->clear();
        OrdnerListe->clear();
        for (QCheckBox *box : {HtmlCheckBox, MhtCheckBox, EmlCheckBox})
            box->setChecked(true);
        setEditable(true);
        refreshState();
    } else {
        // Throws with the reason when the database keeps no folders: nothing is shown then.
        stored = producer::storedOptions(m_ctx.state.programFolder, name);
        stored.reuse = mode == Mode::Update;
        setWindowTitle(mode == Mode::Update ? u"Datenbank aktualisieren"_s : u"Datenbank neu aufbauen"_s);
        NameEdit->setText(name);
        OrdnerListe->clear();
        OrdnerListe->addItems(stored.folders);
        HtmlCheckBox->setChecked(stored.kinds.html);
        MhtCheckBox->setChecked(stored.kinds.mht);
        EmlCheckBox->setChecked(stored.kinds.eml);
        NameHinweis->clear();
        startBuild(stored);
    }
    const int result = showModal();
    return result == QDialog::Accepted ? m_written : QString();
}

// ---- the controls -------------------------------------------------------------------

void TDatenbankForm::setEditable(bool editable)
{
    NameEdit->setReadOnly(!editable);
    OrdnerListe->setEnabled(editable);
    OrdnerHinzuBtn->setEnabled(editable);
    OrdnerEntfernenBtn->setEnabled(editable && OrdnerListe->currentRow() >= 0);
    for (QCheckBox *box : {HtmlCheckBox, MhtCheckBox, EmlCheckBox})
        box->setEnabled(editable);
    ErstellenBtn->setVisible(m_mode == Mode::Create);
}

QString TDatenbankForm::nameProblem() const
{
    const QString name = NameEdit->text();
    if (QString problem = producer::checkDatabaseName(name); !problem.isEmpty())
        return problem;
    if (paths::isRegularFile(db::fileListPath(m_ctx.state.programFolder, name)))
        return u"Die Datenbank \"%1\" existiert bereits."_s.arg(name);
    return {};
}

void TDatenbankForm::refreshState()
{
    if (m_mode != Mode::Create || m_build.running())
        return;
    const QString problem = nameProblem();
    NameHinweis->setText(problem);
    const bool folders = OrdnerListe->count() > 0;
    const bool kinds = HtmlCheckBox->isChecked() || MhtCheckBox->isChecked() || EmlCheckBox->isChecked();
    OrdnerEntfernenBtn->setEnabled(OrdnerListe->currentRow() >= 0);
    ErstellenBtn->setEnabled(problem.isEmpty() && folders && kinds);
    if (!folders)
        FortschrittLabel->setText(u"Fügen Sie mindestens einen Ordner mit Dokumenten hinzu."_s);
    else if (!kinds)
        FortschrittLabel->setText(u"Wählen Sie mindestens eine Art von Dokumenten."_s);
    else
        FortschrittLabel->clear();
}

void TDatenbankForm::NameEditChange()
{
    refreshState();
}

void TDatenbankForm::ArtCheckBoxClick()
{
    refreshState();
}

void TDatenbankForm::OrdnerHinzuBtnClick()
{
    if (m_build.running())
        return;
    const QString start = OrdnerListe->count() > 0 ? OrdnerListe->item(OrdnerListe->count() - 1)->text() : QDir::homePath();
    const QString chosen = m_folders.chooseFolder(u"Ordner mit Dokumenten wählen"_s, start);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    if (!info.isDir() || !info.isReadable()) {
        m_ctx.services.dialogs.error(u"Der Ordner \"%1\" kann nicht gelesen werden."_s.arg(chosen));
        return;
    }
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    if (OrdnerListe->findItems(folder, Qt::MatchExactly).isEmpty())
        OrdnerListe->addItem(folder);
    OrdnerListe->setCurrentRow(OrdnerListe->count() - 1);
    refreshState();
}

void TDatenbankForm::OrdnerEntfernenBtnClick()
{
    const int row = OrdnerListe->currentRow();
    if (m_build.running() || row < 0)
        return;
    delete OrdnerListe->takeItem(row);
    refreshState();
}

producer::IndexOptions TDatenbankForm::chosenOptions() const
{
    producer::IndexOptions options;
    options.programFolder = m_ctx.state.programFolder;
    options.name = NameEdit->text();
    for (int i = 0; i < OrdnerListe->count(); ++i)
        options.folders << OrdnerListe->item(i)->text();
    options.kinds = {HtmlCheckBox->isChecked(), MhtCheckBox->isChecked(), EmlCheckBox->isChecked()};
    return options;
}

// ---- the build ----------------------------------------------------------------------

void TDatenbankForm::ErstellenBtnClick()
{
    if (m_mode != Mode::Create || m_build.running())
        return;
    refreshState();
    if (!ErstellenBtn->isEnabled())
        return;
    startBuild(chosenOptions());
}

void TDatenbankForm::startBuild(const producer::IndexOptions &options)
{
    setEditable(false);
    ErstellenBtn->setEnabled(false);
    ProgressBar1->setRange(0, 0); // busy until the documents are counted
    FortschrittLabel->setText(u"Die Ordner werden durchsucht …"_s);
    m_clock.start();
    m_build.start(options);
}

void TDatenbankForm::showProgress(const producer::IndexProgress &progress)
{
    if (!m_build.running() || m_closeWhenStopped)
        return;
    const qint64 total = std::max<qint64>(progress.filesTotal, 1);
    // The bar counts in thousandths, so any number of documents fits its int range.
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(int(progress.filesDone * 1000 / total));
    FortschrittLabel->setText(producer::progressText(progress, m_clock.elapsed()));
}

void TDatenbankForm::buildFinished(const BuildOutcome &outcome)
{
    if (outcome.cancelled) {
        FortschrittLabel->setText(u"Abgebrochen: die Datenbank \"%1\" wurde nicht verändert."_s.arg(outcome.summary.name));
        QDialog::reject();
        return;
    }
    if (!outcome.error.isEmpty()) {
        QString text = outcome.error;
        if (!outcome.skipped.isEmpty())
            text += u"\n\n"_s + skipLines(outcome.skipped);
        ProgressBar1->setRange(0, 1);
        ProgressBar1->setValue(0);
        m_ctx.services.dialogs.error(text);
        if (m_mode == Mode::Create && !m_closeWhenStopped) {
            setEditable(true);
            refreshState();
        } else {
            QDialog::reject();
        }
        return;
    }
    m_written = outcome.summary.name;
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(1);
    FortschrittLabel->setText(u"Fertig: %1 Dokumente in %2 s."_s.arg(
        QLocale(QLocale::German).toString(outcome.summary.documents),
        QLocale(QLocale::German).toString(outcome.summary.seconds, 'f', 1)));
    if (!outcome.skipped.isEmpty())
        m_ctx.services.dialogs.warning(u"Die Datenbank \"%1\" wurde geschrieben; nicht aufgenommen wurde:\n"_s.arg(m_written)
                                       + skipLines(outcome.skipped));
    accept();
}

void TDatenbankForm::AbbrechenBtnClick()
{
    if (!m_build.running()) {
        QDialog::reject();
        return;
    }
    m_closeWhenStopped = true;
    m_build.cancel();
    AbbrechenBtn->setEnabled(false);
    ProgressBar1->setRange(0, 0);
    FortschrittLabel->setText(u"Wird abgebrochen …"_s);
}

void TDatenbankForm::reject()
{
    guarded(m_ctx.services.dialogs, [this] { AbbrechenBtnClick(); });
}

} // namespace vespira::gui
