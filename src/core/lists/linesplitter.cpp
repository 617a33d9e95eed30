#include "core/lists/linesplitter.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

namespace {

constexpr qsizetype MinWord = 3;
constexpr qsizetype MaxWordWithoutTag = 100;
constexpr qsizetype MinPhrase = 4;

bool isWordDelimiter(char16_t c)
{
    // A tab counts as the blank it is turned into.
    return c == u' ' || c == u'\t' || c == u',' || c == u';' || c == u':';
}

bool isPhraseDelimiter(char16_t c)
{
    return c == u',' || c == u'.';
}

// Calls f for each maximal run of characters without a delimiter while f returns true.
template <typename IsDelimiter, typename F>
bool forEachRun(QStringView line, IsDelimiter isDelimiter, F &&f)
{
    const qsizetype n = line.size();
    const QChar *d = line.data();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i == n || isDelimiter(d[i].unicode())) {
            if (i > start && !f(line.sliced(start, i - start)))
                return false;
            start = i + 1;
        }
    }
    return true;
}

} // namespace

QStringView trimView(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= 0x20)
        ++b;
    while (e > b && s[e - 1].unicode() <= 0x20)
        --e;
    return s.sliced(b, e - b);
}

LineSplitter::LineSplitter(SplitMode mode, QString documentMarker, SortedLists &lists,
                           ProgressPacer *pacer)
    : m_mode {mode}
    , m_documentMarker {std::move(documentMarker)}
    , m_lists {lists}
    , m_pacer {pacer}
{
}

bool LineSplitter::lineDropped(QStringView line) const
{
    // Most lines hold none of the rule characters; looking for the single character first
    // (a vectorised scan) spares them the slower search for the run.
    const auto holds = [line](char16_t c, QStringView run) { return line.contains(QChar(c)) && line.contains(run); };
    return line.startsWith(m_documentMarker) || holds(u'=', u"==========") || holds(u'-', u"----")
        || holds(u'_', u"____") || holds(u'*', u"****");
}

bool LineSplitter::operator()(QStringView line)
{
    if (lineDropped(line))
        return true;
    switch (m_mode) {
    case SplitMode::Words:
        return line.contains(u"??") || addWords(line);
    case SplitMode::Phrases:
        return addPhrases(line);
    case SplitMode::WordsAndPhrases:
        if (!addWords(line))
            return false;
        if (line.contains(u'\t')) {
            m_scratch = line.toString();
            m_scratch.replace(u'\t', u' ');
            return addPhrases(m_scratch);
        }
        return addPhrases(line);
    }
    return true;
}

bool LineSplitter::addWords(QStringView line)
{
    return forEachRun(line, isWordDelimiter, [this](QStringView run) {
        const QStringView word = trimView(run);
        if (word.size() > MaxWordWithoutTag && !word.contains(u'<'))
            return step();
        if (word.size() >= MinWord)
            m_lists.addEntry(word);
        return step();
    });
}

bool LineSplitter::addPhrases(QStringView line)
{
    return forEachRun(line, isPhraseDelimiter, [this](QStringView run) {
        QStringView phrase = trimView(run);
        if (!phrase.contains(u' '))
            return step();
        if (phrase.contains(u"---") || phrase.contains(u"––––") || phrase.contains(u"-----")
            || phrase.contains(u" --            --          --"))
            return step();
        for (int i = 0; i < 2; ++i)
            if (phrase.contains(u"''"))
                phrase = trimView(phrase.sliced(1));
        if (phrase.size() >= MinPhrase)
            m_lists.addEntry(phrase);
        return step();
    });
}

} // namespace vespira::lists
