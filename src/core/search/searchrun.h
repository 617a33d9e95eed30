#pragma once

// The search run over one database, headless: it takes the search text and options,
// searches the UTF-8 and then the UTF-16 collected file (first occurrence per document),
// writes the hits as result pages of 25 to "Datenbank/Temp/" and opens the first page in
// the chosen browser. The search window, the command line and the tests all drive this
// one class; a window takes part through SearchRunUi.
//
//   SearchRun run(ctx, ui);
//   const SearchOutcome outcome = run.OKBtnClick({text, database, caseBox, wordBox, ...});
//   TntEdit2->setText(outcome.searchText);   // the run may drop a trailing U+FFFD
//
// Expected conditions (a one-character text, nothing found, a cancel) are values of the
// outcome. Unexpected failures (a missing file list, a page that cannot be written) throw
// vespira::Error after the run has ended its busy indication and re-enabled the controls.

#include "core/app/context.h"
#include "core/search/collectedfilesearch.h"

#include <QString>
#include <QStringList>

namespace vespira::search {

// How a window takes part in a run. Every hook has an empty default, so a headless caller
// (the command line, a test) implements none. The search window wires it like this:
//
//   class SuchFormRunUi final : public search::SearchRunUi {
//       void setRunControlsEnabled(bool on) override {            // OKBtn, TntEdit2,
//           for (QWidget *w : {OKBtn, TntEdit2, GrossKleinBeachten,  // GrossKleinBeachten,
//                              NurGanzeWoerterCheckBox, SuchImInternetBtn})
//               w->setEnabled(on);                                   // NurGanzeWoerter...,
//       }                                                           // SuchImInternetBtn
//       void pumpEvents() override { m_pump(); }                    // gui::EventPump
//       void setMainLabel(const QString &t) override { main.Label1->setText(t); }
//       ...
//   };
//
// and calls SearchRun::OKBtnClick from TSuchForm::OKBtnClick inside gui::guarded(...),
// then closes with the modal result OK. CancelBtn sets ctx.state.run.cancel while
// ctx.state.run.cancellable is set (and stops the busy timer, empties Label1); the run
// then stops at the next window of its scan, searches no further file and writes no page.
class SearchRunUi
{
public:
    virtual ~SearchRunUi() = default;

    // Remembers ViewerMemo's first line and selection (before anything else).
    virtual void rememberView() {}
    // Shows again the list the view showed before and restores the remembered selection
    // (the very end of the run).
    virtual void reShowView() {}
    // OKBtn, TntEdit2, GrossKleinBeachten, NurGanzeWoerterCheckBox, SuchImInternetBtn.
    virtual void setRunControlsEnabled(bool enabled) { Q_UNUSED(enabled); }
    // CancelBtn's hint: "Suche abbrechen" while running, "Schließt das Fenster" after.
    virtual void setCancelHint(const QString &hint) { Q_UNUSED(hint); }
    virtual void enableCancelButton() {}
    // The main window's Label1 ("Suche läuft...", then "").
    virtual void setMainLabel(const QString &text) { Q_UNUSED(text); }
    // The main window's GedultTimer.
    virtual void setBusyTimer(bool running) { Q_UNUSED(running); }
    // GeduldLabel's left edge 20 px left of the middle of BitBtn2.
    virtual void placeBusyLabel() {}
    // MachPause1: waits while events are handled.
    virtual void pause(int milliseconds) { Q_UNUSED(milliseconds); }
    // Ends the busy indication when a result page is done: GedultTimer stopped, its
    // label emptied.
    virtual void endBusyIndication() {}
    // The search window's caption ("Suche läuft...", then "").
    virtual void setCaption(const QString &text) { Q_UNUSED(text); }
    // Before each loop: chkUnicode / chkUnicodeBE ticked as the file needs, Viewer2's mode
    // vbmodeText (UTF-8) or vbmodeUnicode (UTF-16).
    virtual void prepareViewer(CollectedKind kind) { Q_UNUSED(kind); }
    // Lets pending events through (a cancel click); called often, per window of the scan
    // and per page line, so it should return at once when it ran a moment ago.
    virtual void pumpEvents() {}
};

struct SearchRequest
{
    QString searchText;            // TntEdit2 as it stands, not stripped
    QString databaseName;          // the search-time database
    bool caseSensitive = false;    // GrossKleinBeachten
    bool wholeWords = false;       // NurGanzeWoerterCheckBox
    bool phrase = false;           // PhraseCheckBox: the clipboard keeps the whole text
    bool copyToClipboard = false;  // the settings dialog's SuchtextInClipbrdCheckBox
};

struct SearchOutcome
{
    enum class Status { Refused, Completed, Cancelled };
    Status status = Status::Completed;
    qsizetype hitCount = 0;
    int pagesWritten = 0;
    QString searchText;            // the field's text after the run
};

class SearchRun final
{
public:
    SearchRun(app::Context &ctx, SearchRunUi &ui);

    // The whole run. Refuses a one-character text (after stripping) with the information
    // box "Nur ein Zeichen als Suchtext ist bei der "Suche" nicht erlaubt": nothing is
    // deleted or written and the controls are as before. The search window closes with
    // the modal result OK after every outcome, a refusal included.
    SearchOutcome OKBtnClick(const SearchRequest &request);

    // The entries of the last run: "path##text##context<br>", in discovery order.
    const QStringList &hitList() const { return m_hits; }

    // Whether the first page is opened in the browser (the command line opens it only
    // when asked).
    void setOpenBrowser(bool open) { m_openBrowser = open; }
    // The stream search's block size (tests).
    void setBlockSize(int blockSize) { m_blockSize = blockSize; }

private:
    void writePages(const SearchRequest &request, SearchOutcome &outcome);
    void finish(const SearchRequest &request, SearchOutcome &outcome, bool normalEnd);

    app::Context &m_ctx;
    SearchRunUi &m_ui;
    QStringList m_hits;
    QStringList m_pageBuffer;
    bool m_openBrowser = true;
    int m_blockSize = TStreamSearch::DefaultBlockSize;
};

} // namespace vespira::search
