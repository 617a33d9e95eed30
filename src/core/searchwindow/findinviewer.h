#pragma once

#include "core/app/viewstate.h"
#include "core/common/bytescan.h"
#include "core/common/mappedfile.h"
#include "core/common/progress.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <array>

namespace vespira::searchwindow {

// A byte pattern compared with the case of every byte folded by windows-1252 lower-casing
// (pattern and text alike), for every kind of text the viewer shows, UTF-16LE included.
class FoldedPattern
{
public:
    explicit FoldedPattern(QByteArrayView pattern);

    qsizetype size() const { return m_pattern.size(); }
    // The first occurrence starting at or after from in data[0, size); -1 if none.
    qint64 find(const uchar *data, qint64 size, qint64 from) const;

private:
    bool matchesAt(const uchar *data, qint64 at) const;

    QByteArray m_pattern; // lowered
    std::array<uchar, 256> m_fold {};
    ProbePair m_probes;
};

// Searches a file through read-only memory maps of a bounded window, so files of any size
// (4 GB and more) are scanned without reading them into memory and without the whole file
// becoming resident.
class MappedFileSearch
{
public:
    static constexpr qint64 kWindowBytes = 64LL * 1024 * 1024;

    // windowBytes: how much of the file is mapped at a time (tests use small windows).
    MappedFileSearch(const QString &fileName, QByteArrayView pattern, qint64 windowBytes = kWindowBytes);
    MappedFileSearch(const MappedFileSearch &) = delete;
    MappedFileSearch &operator=(const MappedFileSearch &) = delete;

    // False when the file cannot be opened or is empty.
    bool isOpen() const { return m_open; }
    qint64 fileSize() const { return m_size; }
    // The next occurrence at or after from; -1 when there is none, when a window cannot be
    // mapped (failed() then tells) or when progress asked to stop (cancelled()).
    // progress is told once per window.
    qint64 next(qint64 from, const Progress &progress = {});
    bool failed() const { return m_failed; }
    bool cancelled() const { return m_cancelled; }

private:
    MappedFile m_file;
    FoldedPattern m_pattern;
    qint64 m_window = kWindowBytes;
    qint64 m_size = 0;
    bool m_open = false;
    bool m_failed = false;
    bool m_cancelled = false;
    qint64 m_reported = -1; // the window progress was last told of
};

struct ByteSearchResult
{
    QList<qint64> offsets; // ascending, overlapping occurrences included
    bool opened = false;   // the file could be opened, was not empty and could be mapped
    bool cancelled = false;
};

// Every offset at which pattern occurs in the file, case-insensitively. maxHits < 0: all.
ByteSearchResult byteSearchAll(const QString &fileName, QByteArrayView pattern,
                               const Progress &progress = {}, qint64 maxHits = -1);

// The bytes searched for a find text: windows-1252 for the ANSI kind (characters without
// a form there become "?"), UTF-8 for the UTF-8 kind, UTF-16LE for the MHT kind.
QByteArray findPatternBytes(app::DocumentKind kind, const QString &text);

// The file the find in the view searches: a collected text file or, with sortedList, the
// sorted phrase and word list of the kind. Empty for DocumentKind::None.
QString findFilePath(const QString &programFolder, const QString &databaseName,
                     app::DocumentKind kind, bool sortedList);

inline constexpr char16_t kNichtGefunden[] = u"Nicht gefunden!";
inline constexpr char16_t kLetzteFundstelle[] = u"Dies ist die letzte Fundstelle.";

// Find-next in the document view. The first press looks for the first occurrence from the
// start of the file, every press shows the next one, the last one is announced, and the
// press after it starts over at the first. Only the occurrence shown and the one after it
// are known at a time, so memory stays small however many occurrences a file holds.
class FindInViewer
{
public:
    enum class Status {
        NotFound,  // show kNichtGefunden (also for a file that cannot be opened or mapped)
        Found,     // select offset, length selectionLength
        FoundLast, // the same, then show kLetzteFundstelle
        Cancelled, // progress asked to stop; nothing to show
    };
    struct Step
    {
        Status status = Status::NotFound;
        qint64 offset = -1;
        qint64 selectionLength = 0;
    };

    // The find text changed or another file was loaded: the next press starts afresh.
    void reset();
    // Whether a press would go on with a known next occurrence (the hit list is not empty).
    bool hasPending() const { return m_pending >= 0; }
    qint64 currentHit() const { return m_current; }

    // One press of find-next for text in fileName, searched as kind.
    Step next(const QString &fileName, app::DocumentKind kind, const QString &text,
              const Progress &progress = {});

private:
    qint64 m_pending = -1;
    qint64 m_current = -1;
    QString m_fileName;
    QByteArray m_pattern;
};

// Where the memo mirror selects the occurrence after a find-next: the first occurrence of
// findText in memoText (ignoring case; for the ANSI kind compared in windows-1252), or the
// one from memoSearchStart - 1 on when memoSearchStart lies after the first and inside the
// text. -1 when findText is not in memoText: the memo then selects nothing.
qint64 memoSelectionStart(const QString &memoText, const QString &findText, qint64 memoSearchStart,
                          bool ansiKind);

} // namespace vespira::searchwindow
