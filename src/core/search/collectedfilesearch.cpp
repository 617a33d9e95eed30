#include "core/search/collectedfilesearch.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/text.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::search {

namespace {

// Cuts a context, given where (0-based, -1 for nowhere) the search text stands in it with
// case folded as the options say, and exactly.
template <typename Text, typename FindFolded, typename FindExact>
Text cutContext(Text context, qsizetype patternLength, FindFolded findFolded, FindExact findExact)
{
    qsizetype p = findFolded(context) + 1; // 1-based, 0 when absent
    if (p > 100) {
        context.remove(0, p - 40);
        p = 40;
    }
    if (context.size() > 350 && p < 350 - patternLength) {
        const auto last = context.back();
        context.truncate(349);
        context.append(last);
    }
    p = findExact(context) + 1;
    if (context.size() > 800) {
        if (p > 150)
            context.remove(0, p - 150);
        context.truncate(400);
    }
    return context;
}

qsizetype findUtf8(const QByteArray &context, const QString &searchText, bool caseSensitive)
{
    const PatternMatcher &matcher = cachedMatcher(searchText, vEncUTF8, caseSensitive, false);
    if (matcher.isEmpty() || context.size() < matcher.minLength())
        return -1;
    qint64 length = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(context.constData());
    return matcher.findForward(data, 0, context.size(), context.size(), 0,
                               context.size() - matcher.minLength(), length);
}

qsizetype findUnicode(const QString &context, const QString &searchText, bool caseSensitive)
{
    if (caseSensitive)
        return context.indexOf(searchText);
    return text::lowerEachUnit(context).indexOf(text::lowerEachUnit(searchText));
}

} // namespace

QByteArray cutUtf8Context(QByteArray context, const QString &searchText, bool caseSensitive)
{
    const qsizetype patternLength = searchText.toUtf8().size();
    return cutContext(
        std::move(context), patternLength,
        [&](const QByteArray &c) { return findUtf8(c, searchText, caseSensitive); },
        [&](const QByteArray &c) { return findUtf8(c, searchText, true); });
}

QString cutUnicodeContext(QString context, const QString &searchText, bool caseSensitive)
{
    return cutContext(
        std::move(context), searchText.size(),
        [&](const QString &c) { return findUnicode(c, searchText, caseSensitive); },
        [&](const QString &c) { return findUnicode(c, searchText, true); });
}

QString matchContext(LineReader *viewer, CollectedKind kind, qint64 foundStart, const QString &cutText,
                     bool caseSensitive, bool &empty)
{
    if (kind == CollectedKind::Utf8) {
        QByteArray context = viewer ? viewer->lineBytes(foundStart) : QByteArray {};
        for (const int limit : {150, 250}) {
            if (context.size() >= limit || !viewer)
                break;
            context += ' ' + viewer->lineBytes(foundStart + context.size() + 2);
        }
        context = cutUtf8Context(std::move(context), cutText, caseSensitive);
        empty = context.isEmpty();
        return text::fromUtf8Lenient(context);
    }
    QString context = viewer ? viewer->lineText(foundStart) : QString {};
    if (findUnicode(context, cutText, caseSensitive) < 0)
        context.clear();
    for (const int limit : {150, 250}) {
        if (context.size() >= limit || !viewer)
            break;
        // Units of the file are two bytes each.
        context += u' ' + viewer->lineText(foundStart + 2 * (context.size() + 2));
    }
    context = cutUnicodeContext(std::move(context), cutText, caseSensitive);
    empty = context.isEmpty();
    return context;
}

QString checkDocumentPath(const QString &path, const MatchEnvironment &env)
{
    if (const auto known = env.checkedPaths.constFind(path); known != env.checkedPaths.cend())
        return *known;
    const QString checked = [&]() -> QString {
        if (env.mapper.existsAsFile(path))
            return env.mapper.toNative(path);
        const QString replaced = env.replacementDrive + path.mid(1);
        if (replaced != path && env.mapper.existsAsFile(replaced))
            return env.mapper.toNative(replaced);
        const qsizetype colon = replaced.indexOf(u":\\"_s);
        const QString rest = colon >= 0 ? replaced.mid(colon + 2) : replaced.mid(1);
        const QString underProgram = env.programFolder + slashes(rest);
        if (paths::isRegularFile(underProgram))
            return underProgram;
        return u"Existiert nicht! "_s + replaced;
    }();
    env.checkedPaths.insert(path, checked);
    return checked;
}

Hit hitAt(const db::TitlePositions &titles, qint64 foundStart, CollectedKind kind, const QString &context,
          const MatchEnvironment &env)
{
    const auto block = titles.blockAt(foundStart);
    Hit hit;
    hit.kind = kind;
    hit.blockOffset = block ? block->offset : -1;
    hit.path = checkDocumentPath(block ? block->path : QString(), env);
    hit.context = text::trimControlLeft(context);
    return hit;
}

void hitCountsForLists(CollectedKind kind, const MatchEnvironment &env, app::SearchRunState &run)
{
    if (kind == CollectedKind::Utf8 && env.activeKind == app::DocumentKind::Utf8)
        run.utf8ListFlag = false;
    if (kind == CollectedKind::Utf16 && env.activeKind == app::DocumentKind::Mht)
        run.mhtListFlag = false;
}

CollectedFileSearch::CollectedFileSearch(MatchOptions options, const MatchEnvironment &environment,
                                         app::SearchRunState &run)
    : m_options {std::move(options)}
    , m_env {environment}
    , m_run {run}
    , m_search {environment.blockSize, environment.mapWindow}
{
    m_search.setProgress(m_env.progress);
}

void CollectedFileSearch::run(const QString &collectedPath, db::PendingTitlePositions &titles,
                              CollectedKind kind, HitSink &sink)
{
    m_kind = kind;
    m_path = collectedPath;
    m_sink = &sink;
    m_failed = false;
    m_currentPattern.clear();
    m_titles = &titles;

    m_viewer.reset();

    const auto step = [this](bool first) {
        return m_kind == CollectedKind::Utf8 ? FindUtf8(first) : FindUnicode(first);
    };
    bool found = step(true);
    while (found && !m_failed && !m_env.progress.stopRequested()) {
        m_currentPattern = m_env.documentMarker;
        found = step(false);
        if (!found || m_failed)
            break;
        m_currentPattern = m_options.searchText;
        found = step(false);
    }
    m_currentPattern.clear();
    m_viewer.reset();
    m_search.setFileName({});
    m_sink = nullptr;
    m_titles = nullptr;
}

void CollectedFileSearch::run(const QString &collectedPath, const QString &titlesPath, CollectedKind kind,
                              HitSink &sink)
{
    db::PendingTitlePositions titles(titlesPath);
    run(collectedPath, titles, kind, sink);
}

bool CollectedFileSearch::FindUtf8(bool first)
{
    m_kind = CollectedKind::Utf8;
    return findStep(first);
}

bool CollectedFileSearch::FindUnicode(bool first)
{
    m_kind = CollectedKind::Utf16;
    return findStep(first);
}

bool CollectedFileSearch::findStep(bool first)
{
    const bool markerStep = !m_currentPattern.isEmpty() && m_currentPattern.startsWith(m_env.documentMarker);
    int options = m_options.caseSensitive ? soCaseSensitive : 0;
    if (m_options.wholeWords && !markerStep)
        options |= soWholeWords;
    const TTextEncoding encoding = m_kind == CollectedKind::Utf8
        ? vEncUTF8
        : (m_options.bigEndian ? vEncUnicodeBE : vEncUnicodeLE);
    const index::Candidates *spans = markerStep || !m_candidates
        ? nullptr
        : m_candidates->spansFor(first ? m_options.searchText : m_currentPattern, m_options.bigEndian);

    bool found = false;
    try {
        if (first) {
            try {
                m_search.setFileName(m_path);
            } catch (const Error &) {
                m_failed = true;
                m_env.dialogs.error(m_path + u" kann nicht geöffnet werden."_s);
                return false;
            }
            found = m_search.FindFirst(m_options.searchText, 0, encoding, options, spans);
        } else {
            found = m_search.FindNext(options, m_currentPattern, spans);
        }
    } catch (const Error &e) {
        m_failed = true;
        if (!e.message().isEmpty())
            m_env.dialogs.error(e.message());
        return false;
    }
    if (!found)
        return false;
    if (!markerStep) {
        try {
            processMatch(m_search.FoundStart());
        } catch (const Error &e) {
            m_failed = true;
            if (!e.message().isEmpty())
                m_env.dialogs.error(e.message());
        }
    }
    return true;
}

void CollectedFileSearch::processMatch(qint64 foundStart)
{
    // The hidden viewer reads the contexts from the search's own window on the file.
    if (!m_viewer && m_search.mappedFile())
        m_viewer = std::make_unique<LineReader>(*m_search.mappedFile(), m_kind == CollectedKind::Utf16 ? 2 : 1,
                                                m_kind == CollectedKind::Utf16 && m_options.bigEndian);
    bool contextEmpty = true;
    const QString context = matchContext(m_viewer.get(), m_kind, foundStart, m_options.searchText,
                                         m_options.caseSensitive, contextEmpty);
    Hit hit = hitAt(m_titles->get(), foundStart, m_kind, context, m_env);
    const bool counts = !hit.path.isEmpty() && !contextEmpty;
    m_sink->matched(std::move(hit));
    if (counts)
        hitCountsForLists(m_kind, m_env, m_run);
}

} // namespace vespira::search
