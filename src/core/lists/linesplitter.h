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

#include "core/lists/sortedlist.h"

#include <QString>
#include <QStringView>

namespace vespira::lists {

enum class SplitMode { Words, Phrases, WordsAndPhrases };

class LineSplitter
{
public:
    // documentMarker: "#" + the document drive letter + ":\" ("#:\" without a letter).
    LineSplitter(SplitMode mode, QString documentMarker, SortedLists &lists);

    void operator()(QStringView line);

private:
    bool lineDropped(QStringView line) const;
    void addWords(QStringView line);
    void addPhrases(QStringView line);

    SplitMode m_mode;
    QString m_documentMarker;
    SortedLists &m_lists;
    QString m_scratch;
};

// Leading and trailing characters up to U+0020 removed, as text::trimControl does.
QStringView trimView(QStringView s);

} // namespace vespira::lists
