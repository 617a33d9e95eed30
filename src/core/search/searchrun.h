#pragma once

// The search run over one database, headless: it takes the search text and options,
// searches the UTF-8 and then the UTF-16 collected file (first occurrence per document),
// writes the hits as result pages of 25 to "Datenbank/Temp/" and opens the first page in
// the chosen browser. The search window, the command line and the tests all drive this
// one class; a window takes part through SearchRunUi.
//
//   SearchRun run(ctx, ui);
//   const SearchOutcome outcome = run.run({text, database, caseBox, wordBox, ...});
//   TntEdit2->setText(outcome.searchText);   // the run may drop a trailing U+FFFD
//
// Expected conditions (a one-character text, nothing found, a cancel) are values of the
// outcome. Unexpected failures (a missing file list, a page that cannot be written) throw
// vespira::Error after the run has ended its busy indication and re-enabled the controls.

#include "core/app/context.h"
#include "core/db/dbfiles.h"
#include "core/output/resultpagefiles.h"
#include "core/search/collectedfilesearch.h"

#include <QString>

#include <memory>

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
//       void progress(qint64, qint64) override { m_pump(); }         // gui::EventPump
//       void setStatus(const QString &t) override { main.Label1->setText(t); }
//       ...
//   };
//
// and calls SearchRun::run from the OK button's click handler inside gui::guarded(...), then
// closes with the modal result OK. CancelBtn requests ctx.state.run.cancel while
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
    // OKBtn, TntEdit2, the option boxes (GrossKleinBeachten, NurGanzeWoerterCheckBox and the
    // four below them), SuchImInternetBtn.
    virtual void setRunControlsEnabled(bool enabled) { Q_UNUSED(enabled); }
    // CancelBtn's hint: "Suche abbrechen" while running, "Schließt das Fenster" after.
    virtual void setCancelHint(const QString &hint) { Q_UNUSED(hint); }
    virtual void enableCancelButton() {}
    // The main window's status line, Label1 ("Suche läuft...", then "").
    virtual void setStatus(const QString &text) { Q_UNUSED(text); }
    // A remark on the run the user should read, given at most once per run: that the
    // index could not be used ("Index veraltet, es wird ohne Index gesucht"). The window
    // shows it in the status line while the scan goes on; the command line prints it.
    virtual void notice(const QString &text) { setStatus(text); }
    // The main window's busy indicator: on (GedultTimer started, GeduldLabel placed beside
    // BitBtn2) or off (the timer stopped).
    virtual void setBusy(bool busy) { Q_UNUSED(busy); }
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
    // How far the run got (bytes of the file being scanned, hits of the page being
    // written). The window lets pending events through here, so a cancel click reaches
    // the run's token. Called often, per window of the scan and per hit of a page, so it
    // should return at once when it ran a moment ago.
    virtual void progress(qint64 done, qint64 total) { Q_UNUSED(done); Q_UNUSED(total); }
};

struct SearchRequest
{
    QString searchText;            // TntEdit2 as it stands, not stripped
    QString databaseName;          // the search-time database
    bool caseSensitive = false;    // GrossKleinBeachten
    bool wholeWords = false;       // NurGanzeWoerterCheckBox
    bool phrase = false;           // PhraseCheckBox: the clipboard keeps the whole text
    bool copyToClipboard = false;  // the settings dialog's SuchtextInClipbrdCheckBox
    bool allWords = false;         // AlleWoerterCheckBox: every word, in any order
    bool umlauts = false;          // UmlauteGleichwertigCheckBox: ä = ae, ö = oe, ü = ue, ß = ss
    bool countHits = false;        // FundstellenZaehlenCheckBox: occurrences per document
    // AlleDatenbankenCheckBox: every database of the catalog, one after the other; the
    // search-time database then only decides which hits touch the view's list flags.
    bool allDatabases = false;
    bool useIndex = true;          // false: scan without the trigram index (`vespira search --scan`)
};

struct SearchOutcome
{
    enum class Status { Refused, Completed, Cancelled };
    Status status = Status::Completed;
    qsizetype hitCount = 0;
    int pagesWritten = 0;
    QString searchText;            // the field's text after the run
    qint64 occurrences = 0;        // counting: the occurrences of all hits together
    // Over every database: each one not searched, or not wholly, as a line
    // 'Datenbank "Name": reason'.
    QStringList problems;
};

class SearchRun final
{
public:
    SearchRun(app::Context &ctx, SearchRunUi &ui);

    // The whole run. Refuses a one-character text (after stripping), and with allWords a
    // text holding a one-character word, with the information box "Nur ein Zeichen als
    // Suchtext ist bei der "Suche" nicht erlaubt": nothing is deleted or written and the
    // controls are as before. The search window closes with the modal result OK after every
    // outcome, a refusal included.
    //
    // With every option of the request beyond case and whole words off, the run is the
    // literal search of one database. allWords, umlauts and countHits search each file with
    // OptionFileSearch. allDatabases searches every database of the catalog in its order; one
    // that cannot be searched (its file list unreadable, its text files missing or empty, a
    // file that fails) is named in outcome.problems, on the pages and in one warning box
    // after them, and the others are searched.
    SearchOutcome run(const SearchRequest &request);

    // The hits of the last run, in discovery order: the UTF-8 file's, then the UTF-16 one's.
    const QList<Hit> &hits() const { return m_hits.hits; }

    // Whether the first page is opened in the browser (the command line opens it only
    // when asked).
    void setOpenBrowser(bool open) { m_openBrowser = open; }
    // The stream search's block size and mapped window, and what a jump to the index's
    // next candidates is taken to cost (tests; by default a block).
    void setBlockSize(int blockSize) { m_blockSize = blockSize; }
    void setMapWindow(qint64 bytes) { m_mapWindow = bytes; }
    void setJumpCost(qint64 bytes) { m_jumpCost = bytes; }

private:
    void searchDatabase(const QString &name, bool useIndex, const MatchOptions &options,
                        const MatchEnvironment &env, HitSink &sink);
    // What every loop of the run shares: program folder, progress and the scan's sizes.
    MatchEnvironment environment(platform::Dialogs &dialogs, const DocPathMapper &mapper);
    void searchOneOfAll(const QString &name, const MatchOptions &options, const DocPathMapper &mapper,
                        const SearchRequest &request, SearchOutcome &outcome);
    // The index of one collected file for the loop; one that is there but cannot be used
    // is said once per run.
    CandidateSource candidateSource(const QString &name, bool useIndex, db::TextKind kind);
    void sayIndexUnusable();
    void writePages(const SearchRequest &request, SearchOutcome &outcome);
    void finish(const SearchRequest &request, SearchOutcome &outcome, bool normalEnd);

    app::Context &m_ctx;
    SearchRunUi &m_ui;
    Progress progressOf();

    HitList m_hits;
    QStringList m_databases; // searched over all databases, in the catalog's order
    std::unique_ptr<output::ResultPageFiles> m_pageFiles; // while a run goes on
    bool m_openBrowser = true;
    bool m_indexNoticeGiven = false; // in this run
    int m_blockSize = TStreamSearch::DefaultBlockSize;
    qint64 m_mapWindow = MappedFile::DefaultWindowBytes;
    qint64 m_jumpCost = -1; // -1: the block size
};

} // namespace vespira::search
