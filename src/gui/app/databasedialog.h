#pragma once

#include "core/app/context.h"
#include "gui/app/databasebuild.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vespira::platform {
class FolderChooser;
}

namespace vespira::gui {

// The window "Datenbank erstellen": a name, the folders and the kinds of documents of a
// new database, built by the same producer as `vespira index` on a thread of its own
// while a progress bar shows documents, MB/s and the time left. The same window brings a
// database up to date or rebuilds it from the folders and kinds stored with it, asking
// nothing. "Abbrechen" stops a build within a second and leaves the database as it was.
class TDatenbankForm final : public QDialog
{
    Q_OBJECT
public:
    TDatenbankForm(app::Context &context, platform::FolderChooser &folders, QWidget *parent = nullptr);
    ~TDatenbankForm() override;

    // Each shows the window modally and returns the name of the database written, or the
    // empty text when nothing was written (cancelled, failed, or nothing to do).
    QString NeueDatenbank();
    QString Aktualisieren(const QString &name);
    QString NeuAufbauen(const QString &name);

    // How the window is shown modally; tests replace it with code that works the controls.
    std::function<int()> showModal;

    bool building() const { return m_build.running(); }
    DatabaseBuild &build() { return m_build; }

    // Handlers.
    void NameEditChange();
    void OrdnerHinzuBtnClick();
    void OrdnerEntfernenBtnClick();
    void ArtCheckBoxClick();
    void ErstellenBtnClick();
    void AbbrechenBtnClick();

    QLineEdit *NameEdit = nullptr;
    QLabel *NameHinweis = nullptr; // why the name cannot be taken
    QListWidget *OrdnerListe = nullptr;
    QPushButton *OrdnerHinzuBtn = nullptr;
    QPushButton *OrdnerEntfernenBtn = nullptr;
    QCheckBox *HtmlCheckBox = nullptr;
    QCheckBox *MhtCheckBox = nullptr;
    QCheckBox *EmlCheckBox = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *FortschrittLabel = nullptr;
    QPushButton *ErstellenBtn = nullptr;
    QPushButton *AbbrechenBtn = nullptr;

    void reject() override; // while building: cancel first, close when it has stopped

private:
    enum class Mode { Create, Update, Rebuild };

    void buildControls();
    QString openFor(Mode mode, const QString &name);
    void setEditable(bool editable);
    void refreshState();
    QString nameProblem() const;
    producer::IndexOptions chosenOptions() const;
    void startBuild(const producer::IndexOptions &options);
    void showProgress(const producer::IndexProgress &progress);
    void buildFinished(const BuildOutcome &outcome);

    app::Context &m_ctx;
    platform::FolderChooser &m_folders;
    DatabaseBuild m_build;
    QElapsedTimer m_clock;
    Mode m_mode = Mode::Create;
    QString m_written;
    bool m_closeWhenStopped = false;
};

} // namespace vespira::gui
