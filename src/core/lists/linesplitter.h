#pragma once

// Cuts one trimmed text line (not a document marker line) into words or phrases and adds
// those that pass the drop rules to the sorted lists.
//
//   LineSplitter split(SplitMode::Words, u"#Z:\\"_s, lists);
//   split(u"Das Haus, das Dach; und: ein HAUS");   // Das Dach ein | Haus | und
//
// Words are the runs between blanks, tabs, ",", ";" and ":", kept from 3 characters on
// (a word over 100 characters only when it holds a "<"). Phrases are the runs between ","
// and "." that hold a blank, kept from 4 characters on.

#include "core/common/pacer.h"
#include "core/lists/sortedlist.h"

#include <QString>
#include <QStringView>

namespace vespira::lists {

enum class SplitMode { Words, Phrases, WordsAndPhrases };

class LineSplitter
{
public:
    // documentMarker: "#" + the document drive letter + ":\" ("#:\" without a letter).
    // pacer, when given, takes a step for every word and phrase, so a long line lets
    // events through as it goes.
    LineSplitter(SplitMode mode, QString documentMarker, SortedLists &lists,
                 ProgressPacer *pacer = nullptr);

    // Returns false when the pacer asked to stop; the rest of the line is then left out.
    bool operator()(QStringView line);

private:
    bool lineDropped(QStringView line) const;
    bool addWords(QStringView line);
    bool addPhrases(QStringView line);
    bool step() { return !m_pacer || m_pacer->step(); }

    SplitMode m_mode;
    QString m_documentMarker;
    SortedLists &m_lists;
    ProgressPacer *m_pacer;
    QString m_scratch;
};

// Leading and trailing characters up to U+0020 removed, as text::trimControl does.
QStringView trimView(QStringView s);

} // namespace vespira::lists
