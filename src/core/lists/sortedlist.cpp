#include "core/lists/sortedlist.h"

#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

EntryCollation::EntryCollation()
    : m_collator {QLocale()}
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_plain = m_collator.locale().language() == QLocale::C;
}

std::vector<qsizetype> EntryCollation::sortedDistinct(const std::vector<QString> &spellings,
                                                      ProgressPacer *pacer) const
{
    // Sort keys of a million spellings and their sort take seconds: the pacer sees them go.
    const auto step = [pacer] {
        if (pacer)
            pacer->checkpoint();
    };
    std::vector<qsizetype> order(spellings.size());
    std::iota(order.begin(), order.end(), qsizetype {0});
    std::vector<qsizetype> kept;
    if (spellings.empty())
        return kept;

    auto keepFirstOfRuns = [&](auto sameKey) {
        kept.push_back(order.front());
        for (size_t i = 1; i < order.size(); ++i) {
            step();
            if (!sameKey(kept.back(), order[i]))
                kept.push_back(order[i]);
        }
    };
    // Freeing a million keys takes a while as well.
    auto release = [&](auto &keys) {
        while (!keys.empty()) {
            step();
            keys.pop_back();
        }
    };

    if (m_plain) {
        std::vector<QString> keys;
        keys.reserve(spellings.size());
        for (const QString &s : spellings) {
            step();
            keys.push_back(s.toCaseFolded());
        }
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            step();
            const int c = QStringView(keys[size_t(a)]).compare(QStringView(keys[size_t(b)]));
            return c != 0 ? c < 0 : a < b;
        });
        keepFirstOfRuns([&](qsizetype a, qsizetype b) { return keys[size_t(a)] == keys[size_t(b)]; });
        release(keys);
        return kept;
    }

    std::vector<QCollatorSortKey> keys;
    keys.reserve(spellings.size());
    for (const QString &s : spellings) {
        step();
        keys.push_back(m_collator.sortKey(s));
    }
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        step();
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        return c != 0 ? c < 0 : a < b;
    });
    keepFirstOfRuns([&](qsizetype a, qsizetype b) { return keys[size_t(a)].compare(keys[size_t(b)]) == 0; });
    release(keys);
    return kept;
}

SortedList::SortedList(std::shared_ptr<const EntryCollation> collation)
    : m_collation {std::move(collation)}
{
}

void SortedList::add(QStringView entry)
{
    if (m_slots.empty() || (m_spellings.size() + 1) * 4 > m_slots.size() * 3)
        grow();
    const auto hash = quint32(qHash(entry, 0));
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot &slot = m_slots[i];
        if (slot.index == 0) {
            m_spellings.push_back(entry.toString());
            slot = {hash, quint32(m_spellings.size())};
            return;
        }
        if (slot.hash == hash && QStringView(m_spellings[slot.index - 1]) == entry)
            return;
    }
}

void SortedList::grow()
{
    std::vector<Slot> table(std::max<size_t>(1024, m_slots.size() * 2));
    const size_t mask = table.size() - 1;
    for (const Slot &old : m_slots) {
        if (old.index == 0)
            continue;
        size_t i = old.hash & mask;
        while (table[i].index != 0)
            i = (i + 1) & mask;
        table[i] = old;
    }
    m_slots.swap(table);
}

void SortedList::clear()
{
    m_slots.clear();
    m_spellings.clear();
}

QStringList SortedList::sorted(ProgressPacer *pacer) const
{
    QStringList out;
    const std::vector<qsizetype> kept = m_collation->sortedDistinct(m_spellings, pacer);
    out.reserve(qsizetype(kept.size()));
    for (qsizetype i : kept) {
        if (pacer)
            pacer->checkpoint();
        out.append(m_spellings[size_t(i)]);
    }
    return out;
}

void SortedList::appendSortedLines(QString &out, ProgressPacer *pacer) const
{
    const std::vector<qsizetype> kept = m_collation->sortedDistinct(m_spellings, pacer);
    // One allocation for the whole text: growing a text of a hundred megabytes step by step
    // copies it again and again.
    qsizetype size = out.size();
    for (qsizetype i : kept)
        size += m_spellings[size_t(i)].size() + 2;
    out.reserve(size);
    for (qsizetype i : kept) {
        if (pacer)
            pacer->checkpoint();
        out += m_spellings[size_t(i)];
        out += u"\r\n";
    }
}

int letterGroup(QChar first)
{
    const char16_t c = first.unicode();
    if ((c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f') || c == u'Ä' || c == u'ä')
        return 0;
    if ((c >= u'G' && c <= u'L') || (c >= u'g' && c <= u'l'))
        return 1;
    if ((c >= u'M' && c <= u'R') || (c >= u'm' && c <= u'r') || c == u'Ö' || c == u'ö')
        return 2;
    if ((c >= u'S' && c <= u'Z') || (c >= u's' && c <= u'z') || c == u'Ü' || c == u'ü')
        return 3;
    return SortedLists::Rest;
}

SortedLists::SortedLists()
    : m_collation {std::make_shared<const EntryCollation>()}
{
    for (auto &list : m_lists)
        list = std::make_unique<SortedList>(m_collation);
}

void SortedLists::addEntry(QStringView entry)
{
    if (entry.isEmpty())
        return;
    list(letterGroup(entry.front())).add(entry);
}

void SortedLists::addDocument(QStringView markerLine)
{
    list(Documents).add(markerLine);
}

void SortedLists::clearEntries()
{
    for (int i = 0; i < Documents; ++i)
        list(i).clear();
}

void SortedLists::clearDocuments()
{
    list(Documents).clear();
}

QString SortedLists::text(ProgressPacer *pacer) const
{
    QString out;
    for (const auto &l : m_lists)
        l->appendSortedLines(out, pacer);
    return out;
}

} // namespace vespira::lists
