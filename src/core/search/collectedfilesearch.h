#pragma once

// The loop over one collected text file of a database: it alternates between the search
// text and the next document marker, so every document block yields at most one hit (its
// first occurrence), and hands each processed match to a sink as a Hit: the path from the
// title-position file (checked against the disk), the context cut from the line around
// the match. The UTF-8 file is searched as UTF-8 (letters fold per code point), the
// UTF-16 file as UTF-16.
//
//   CollectedFileSearch loop(options, environment, ctx.state.run);
//   loop.run(utf8Path, utf8TitlesPath, CollectedKind::Utf8, sink);
//
// Errors of a find step (a file that cannot be opened, a read error) are shown through
// the environment's dialogs and end the loop; the hits found so far stand. So does a
// cancel: the environment's progress, told the position after every window of the scan,
// ends the loop at that point once its token is requested.

#include "core/app/searchrunstate.h"
#include "core/app/viewstate.h"
#include "core/common/docpath.h"
#include "core/common/hit.h"
#include "core/common/progress.h"
#include "core/db/titlepositions.h"
#include "core/platform/dialogs.h"
#include "core/search/candidatesource.h"
#include "core/search/linereader.h"
#include "core/search/streamsearch.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

namespace vespira::search {

using vespira::CollectedKind;

struct MatchOptions
{
    QString searchText;          // the whole text of the search field, one literal string
    bool caseSensitive = false;  // GrossKleinBeachten
    bool wholeWords = false;     // NurGanzeWoerterCheckBox
    bool bigEndian = false;      // chkUnicodeBE: the UTF-16 file is big endian
    // Beyond one literal text (OptionFileSearch searches with these).
    bool allWords = false;       // every word of the text, in any order
    bool umlauts = false;        // ä = ae, ö = oe, ü = ue, ß = ss
    bool countHits = false;      // how often each document holds the text

    bool beyondLiteral() const { return allWords || umlauts || countHits; }
};

struct MatchEnvironment
{
    MatchEnvironment(platform::Dialogs &dialogs_, const DocPathMapper &mapper_)
        : dialogs {dialogs_}
        , mapper {mapper_}
    {
    }

    platform::Dialogs &dialogs;
    const DocPathMapper &mapper;
    QString programFolder;       // ends with "/"
    QString documentMarker;      // "#" + drive letter + ":\"
    QString replacementDrive;    // the drive letter, or empty
    app::DocumentKind activeKind = app::DocumentKind::None;
    // Told the scan's position between its windows; asked there whether to go on.
    Progress progress;
    // The path check's answers for the run, by title-position path: one look at the disk
    // per document, however many hits and files name it.
    mutable QHash<QString, QString> checkedPaths;
    int blockSize = TStreamSearch::DefaultBlockSize;
    qint64 mapWindow = MappedFile::DefaultWindowBytes;
};

// The path check: the title-position path if it names an existing file; else with its
// drive letter replaced; else the rest after ":\" under the program folder. The first
// candidate that names a regular file is returned in its native form; none gives
// "Existiert nicht! " + the path with the replaced drive letter. Answers come from and go
// to environment.checkedPaths.
QString checkDocumentPath(const QString &path, const MatchEnvironment &environment);

// Context cutting around the first occurrence of the search text: more than 100 units
// before it keeps 40 units before; longer than 350 units keeps the first 349 and the last
// unit; longer than 800 keeps 150 before the exact occurrence and 400 units in all.
// UTF-8 contexts count bytes; case folds per code point.
QByteArray cutUtf8Context(QByteArray context, const QString &searchText, bool caseSensitive);
QString cutUnicodeContext(QString context, const QString &searchText, bool caseSensitive);

// The context of a match at foundStart as its hit shows it: the line around the match, with
// the next line appended while it is shorter than 150 and then 250 units, cut around the
// first occurrence of cutText (the UTF-16 line emptied first when it does not hold cutText).
// empty tells whether the cut context was empty; a null viewer reads nothing.
QString matchContext(LineReader *viewer, CollectedKind kind, qint64 foundStart, const QString &cutText,
                     bool caseSensitive, bool &empty);

// The hit of a match at foundStart with its context: the block's path from the title table,
// checked against the disk.
Hit hitAt(const db::TitlePositions &titles, qint64 foundStart, CollectedKind kind, const QString &context,
          const MatchEnvironment &env);
// A hit with a path and a context: clears the kind-hit flag of its file when that is the
// view's active kind (searchrunstate.h).
void hitCountsForLists(CollectedKind kind, const MatchEnvironment &env, app::SearchRunState &run);

class CollectedFileSearch final
{
public:
    CollectedFileSearch(MatchOptions options, const MatchEnvironment &environment,
                        app::SearchRunState &run);

    // The trigram index of the file the next run searches (null: none). The steps that
    // look for a search text then scan only where the index says it can be.
    void setCandidateSource(CandidateSource *source) { m_candidates = source; }

    // Searches one collected file and hands its hits to sink in file order; its title table
    // is waited for at the first hit.
    void run(const QString &collectedPath, db::PendingTitlePositions &titles, CollectedKind kind,
             HitSink &sink);
    void run(const QString &collectedPath, const QString &titlesPath, CollectedKind kind, HitSink &sink);

    // One find step on the current file: with first the file is opened and searched from
    // its start, else the search goes on with the current pattern. Returns whether it found
    // something; a failed step reports its error and sets failed().
    bool FindUtf8(bool first);
    bool FindUnicode(bool first);

    bool failed() const { return m_failed; }

private:
    bool findStep(bool first);
    void processMatch(qint64 foundStart);

    MatchOptions m_options;
    const MatchEnvironment &m_env;
    app::SearchRunState &m_run;

    CollectedKind m_kind = CollectedKind::Utf8;
    QString m_path;
    QString m_currentPattern;
    bool m_failed = false;
    HitSink *m_sink = nullptr;
    CandidateSource *m_candidates = nullptr;
    db::PendingTitlePositions *m_titles = nullptr; // while a run lasts
    TStreamSearch m_search;
    std::unique_ptr<LineReader> m_viewer; // over the search's mapped file
};

} // namespace vespira::search
