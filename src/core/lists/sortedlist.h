#pragma once

// The sorted, duplicate-free lists a build fills.
//
//   SortedLists lists;                 // collation of the user's locale, case ignored
//   lists.addEntry(u"Haus");           // to the letter group of 'H'
//   lists.addDocument(u"#Z:\\a.htm");
//   const QString text = lists.text(); // groups 1-4, rest, documents; CR LF after each entry
//
// Entries that compare equal under the collation are one entry; the spelling added first
// stays. Adding costs one hash lookup (an exact repeat, the common case, stops there);
// sort keys are computed once per distinct spelling when the list is read, so a build
// holds memory in proportion to the distinct entries, not to the text.

#include "core/common/pacer.h"

#include <QCollator>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <memory>
#include <vector>

namespace vespira::lists {

// QCollator for QLocale() with letter case ignored. In the C locale Qt's sort keys keep
// letter case apart although compare() does not, so there the keys are case-folded text.
class EntryCollation
{
public:
    EntryCollation();
    // Orders spellings; ties among entries that compare equal keep their input order.
    // Returns the indexes of the spellings to keep (the first of every equal run), sorted.
    // pacer, when given, takes a step per key and comparison; its checkpoint may throw
    // WorkCancelled.
    std::vector<qsizetype> sortedDistinct(const std::vector<QString> &spellings,
                                          ProgressPacer *pacer = nullptr) const;

private:
    QCollator m_collator;
    bool m_plain = false;
};

class SortedList
{
public:
    explicit SortedList(std::shared_ptr<const EntryCollation> collation);
    SortedList(const SortedList &) = delete;
    SortedList &operator=(const SortedList &) = delete;

    void add(QStringView entry);
    void clear();
    // The entries in collation order, duplicates left out. See sortedDistinct for pacer.
    QStringList sorted(ProgressPacer *pacer = nullptr) const;
    // Appends the sorted entries to out, each followed by CR LF.
    void appendSortedLines(QString &out, ProgressPacer *pacer = nullptr) const;
    bool isEmpty() const { return m_spellings.empty(); }

private:
    void grow();

    std::shared_ptr<const EntryCollation> m_collation;
    std::vector<QString> m_spellings; // distinct exact spellings in the order first added
    // Open addressing over the spellings: each slot holds a spelling's hash and its index + 1
    // (0 = empty). One contiguous probe finds an exact repeat, the common case, without the
    // pointer chasing of a node-based set.
    struct Slot
    {
        quint32 hash = 0;
        quint32 index = 0;
    };
    std::vector<Slot> m_slots;
};

// The letter group of an entry by its first UTF-16 code unit: 0 for A-F, a-f, Ä, ä;
// 1 for G-L, g-l; 2 for M-R, m-r, Ö, ö; 3 for S-Z, s-z, Ü, ü; 4 (rest) for all else.
int letterGroup(QChar first);

// The six lists of a build: four letter groups, the rest, and the document marker lines.
class SortedLists
{
public:
    static constexpr int Rest = 4;
    static constexpr int Documents = 5;

    SortedLists();

    // A word or phrase, to the list of its letter group. Empty entries are ignored.
    void addEntry(QStringView entry);
    void addDocument(QStringView markerLine);
    SortedList &list(int index) { return *m_lists[static_cast<size_t>(index)]; }
    const SortedList &list(int index) const { return *m_lists[static_cast<size_t>(index)]; }
    void clearEntries();     // the four groups and the rest
    void clearDocuments();

    // The six lists one after the other, each entry followed by CR LF. With a pacer, the
    // sorting lets events through and may throw WorkCancelled.
    QString text(ProgressPacer *pacer = nullptr) const;

private:
    std::shared_ptr<const EntryCollation> m_collation;
    std::array<std::unique_ptr<SortedList>, 6> m_lists;
};

} // namespace vespira::lists
