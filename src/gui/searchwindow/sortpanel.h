#pragma once

// The sort panel of the search window: split mode, build and cancel buttons, status line
// and progress bar of the sorted word and phrase lists, and the timer that finishes a
// cancel.
//
// The search window holds the panel (TSuchForm::sortPanel) and is its host; its button
// ZeilenAlsListeSortieren runs ZeilenAlsListeSortierenClick. The settings dialog asks
// confirmationText(name) and on Yes calls openPanel() and closes itself. The window caption
// is set on window(). The panel reads the search-time database name and the program folder
// from the state.

#include "core/app/context.h"
#include "core/lists/linesplitter.h"
#include "core/lists/listfiles.h"

#include <QColor>
#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace vespira::gui {

// What the panel asks of the window around it. Every method has a do-nothing default.
class SortPanelHost
{
public:
    virtual ~SortPanelHost() = default;
    // Closes the document view's file and empties its memo mirror and the captions of
    // Label2 and Label8 (a build is about to start).
    virtual void closeViewForSort() {}
    // locked = true: disable ZeilenAlsListeSortieren, AnsiLadenButton, UTF8LadenButton,
    // UnicodeLadenButton, TntEdit2, the search option boxes, TntEdit1, SpeedButton2, CancelBtn,
    // WeiterSuche and OKBtn. locked = false: enable TntEdit2, the option boxes, TntEdit1,
    // SpeedButton2, CancelBtn and WeiterSuche (the load buttons come through
    // enableLoadButtons).
    virtual void setSearchControlsLocked(bool locked) { Q_UNUSED(locked); }
    // Enables each load button whose flag is true; the others stay as they are.
    virtual void enableLoadButtons(const lists::LoadButtons &buttons) { Q_UNUSED(buttons); }
    // Shows or hides Panel2 (hidden while the sort panel is open).
    virtual void setPanel2Visible(bool visible) { Q_UNUSED(visible); }
    // The font colour of Label3, which the status line takes at each build.
    virtual QColor statusColor() const { return {}; }
    // Sorted list view: forget the remembered view and hit positions, hide LesezeichenBtn,
    // enable WeiterSuche.
    virtual void prepareViewForList() {}
    // Loads view.path with the loader of view.loadAs, sets the kind prefix and Label8's
    // caption, empties Label2 and places it right of Label8.
    virtual void loadSortedList(const lists::SortedListView &view) { Q_UNUSED(view); }
    // The right search bar's change handling (empties the find hit list).
    virtual void TntEdit1Change() {}
};

class SortPanel final : public QWidget
{
    Q_OBJECT
public:
    explicit SortPanel(app::Context &context, QWidget *parent = nullptr);

    void setHost(SortPanelHost *host);

    // "Möchten Sie die Dokumente von "name" sortieren?" ... for the settings dialog.
    static QString confirmationText(const QString &name);
    // The settings dialog's Yes: clears the sort-cancel flag, shows the panel, hides Panel2.
    void openPanel();

    lists::SplitMode splitMode() const;
    // A build runs: from the click on SortierteListenErstellenButton until its handler
    // returns, cutting and pauses included (the sorting flag covers only the list builds).
    bool isBuilding() const { return m_building; }

    void SortierteListenErstellenButtonClick();
    void SortAbbrechenButtonClick();
    void Timer1Timer();
    void ZeilenAlsListeSortierenClick();

    // Controls, named as the program's design names them.
    QFrame *Bevel5 = nullptr;
    QLabel *Label4 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *SortierteListenErstellenButton = nullptr;
    QPushButton *SortAbbrechenButton = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QRadioButton *nurWoerterButton = nullptr;
    QRadioButton *nurSaetzeButton = nullptr;
    QRadioButton *WoerterUndSaetzeButton = nullptr;
    QTimer *Timer1 = nullptr;

    // How long the panel waits after each list so the full bar is seen (100 ms).
    int pauseAfterListMs = 100;

private:
    void build();
    void setPanelControlsEnabled(bool enabled);
    void lockForBuild();
    void unlockAfterBuild();
    void setCaption(const QString &caption);
    void pause(int milliseconds);
    QString databaseName() const;

    app::Context &m_ctx;
    SortPanelHost m_noHost;
    SortPanelHost *m_host = &m_noHost;
    bool m_building = false;
    bool m_locked = false; // the build has locked the panel and the search controls
};

} // namespace vespira::gui
