#pragma once

// The HTML result page of a search: one page per at most 25 hit entries, written to
// "Datenbank/Temp/Vespira_Ergebnis.htm" (the first page, which is then opened in the
// browser), "Vespira_Ergebnis2.htm", ... UTF-8 without byte-order mark, CR LF after every
// line. What came from documents, paths, the database name and the search field is shown as
// text ("&", "<", ">", '"' escaped), so a context that holds markup can neither redirect the
// page nor hide the hits after it; the page's own markup (links, the bold highlight, fonts,
// rule) is written as markup. The Content-Security-Policy line in the head keeps scripts and
// plugins off the page as a second line of defence.
//
//   ResultPageWriter writer(settings, hooks);
//   run.resultPageNumber = 1; run.morePages = false;
//   writer.SchreibHTMLDocNeu(searchText, count, pageHits, run, view.pathOpened);

#include "core/app/searchrunstate.h"
#include "core/common/hit.h"
#include "core/common/progress.h"
#include "core/output/resultpagefiles.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vespira::output {

// What the page shows besides the entries.
struct ResultPageSettings
{
    QString programFolder;   // ends with "/"
    QString databaseName;    // the search-time database
    bool caseSensitive = false;
    bool wholeWords = false;
    // The options beyond one literal text, named in the settings sentence.
    bool allWords = false;
    bool umlauts = false;       // with allWords: the page marks each hit's marks, not the text
    bool countHits = false;     // each entry says how often its document holds the text
    bool allDatabases = false;  // entries grouped by database, each group headed by its name
    QStringList databaseNames;  // allDatabases: every database searched, in the head
    QStringList problems;       // allDatabases: what was not searched, a line each in the head
    qint64 totalHits = 0;       // countHits: the documents and occurrences of the whole search
    qint64 totalOccurrences = 0;
};

struct ResultPageHooks
{
    // Told for every hit of the page, once as its line is made and once as it is marked; a
    // cancel while the lines are made writes no page, one while they are marked ends the
    // marking.
    Progress progress;
    // Ends the main window's busy indication (label emptied, timer stopped).
    std::function<void()> endBusyIndication;
    // Opens the first page: StarteInternetBrowser with the page's path.
    std::function<void(const QString &path)> openInBrowser;
    // Where the pages go; without it each page is written as a new file.
    ResultPageFiles *files = nullptr;
};

// "Vespira_Ergebnis.htm" for page 1, "Vespira_Ergebnis<n>.htm" for page n > 1.
QString resultPageFileName(int pageNumber);

// A link target for a native or Windows-style path: "file:///" + the path with every "\"
// turned into "/" and one leading "/" removed, and "%", '"', "#", "?", "<", ">", "&"
// percent-encoded, so the whole name reaches the file and the link is both a safe attribute
// value and safe text. Everything else (blanks, letters beyond ASCII) stays readable.
QString fileLink(const QString &path);

// The settings sentence for the two search options.
QString settingsSentence(bool caseSensitive, bool wholeWords);
// The options beyond them that the settings sentence names, as a sentence of their own after
// it; empty when none is on.
QString optionsSentence(const ResultPageSettings &settings);

class ResultPageWriter final
{
public:
    ResultPageWriter(ResultPageSettings settings, ResultPageHooks hooks);

    // Writes one result page from the hits of the page. The page number and the
    // more-pages flag come from run; page number 1 is reset to 0 after its page is
    // written. Writes nothing while pathOpened is set (the busy indication is still ended)
    // or when the progress asks to stop while the lines are made. Returns whether a page
    // was written. Throws Error when the file cannot be written.
    bool SchreibHTMLDocNeu(const QString &searchText, qint64 count, const QList<Hit> &pageHits,
                           app::SearchRunState &run, bool pathOpened);

private:
    ResultPageSettings m_settings;
    ResultPageHooks m_hooks;
};

} // namespace vespira::output
