#include "core/output/resultpage.h"

#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/common/error.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::output {

namespace {

// 1-based position of the last occurrence, 0 when there is none.
qsizetype lastPosition(const QString &line, const QString &needle, bool caseSensitive)
{
    if (needle.isEmpty())
        return 0;
    const qsizetype at = caseSensitive ? line.lastIndexOf(needle)
                                       : text::lowerEachUnit(line).lastIndexOf(text::lowerEachUnit(needle));
    return at + 1;
}

// "1 Fundstelle", "7 Fundstellen".
QString occurrencesText(qint64 n)
{
    return QString::number(n) + (n == 1 ? u" Fundstelle"_s : u" Fundstellen"_s);
}

// One line of the page in three parts: the writer's own markup around a text that came from
// a document, a path or the search field. Only the text is escaped, and only when the line is
// put together, so the highlight can be placed by the characters the user sees.
struct PageLine
{
    QString head;             // markup
    QString text;             // shown as text
    QString tail;             // markup
    QList<TextSpan> bold;     // the highlighted characters of text, in text order

    // A hit: its path as a link above its context, with how often the document holds the
    // text when the search counts. A hit without a path is shown in the writer's own form of
    // an entry, "##text##" and the context, as text.
    static PageLine of(const Hit &hit, bool counted)
    {
        PageLine line;
        line.tail = u"<br>"_s;
        const QString path = text::trimControlLeft(hit.path);
        if (text::trimControl(path).isEmpty()) {
            line.text = path + u"##text##"_s + hit.context;
            return line;
        }
        const QString url = fileLink(path);
        line.head = u"<font color=\"#000000\">in: <a href=\""_s + url + u"\" target=\"_blank\">"_s + url + u"</a>"_s
            + (counted ? u" ("_s + occurrencesText(hit.occurrences) + u")"_s : QString {})
            + u"<br><font color=\"#000080\">"_s;
        line.text = hit.context;
        line.tail += u"<br><br>"_s;
        return line;
    }

    [[nodiscard]] QString html() const
    {
        QString out = head;
        qsizetype at = 0;
        for (const TextSpan &span : bold) {
            out += text.mid(at, span.start - at).toHtmlEscaped() + u"<b>"_s
                + text.mid(span.start, span.length).toHtmlEscaped() + u"</b>"_s;
            at = span.start + span.length;
        }
        return out + text.mid(at).toHtmlEscaped() + tail;
    }
};

} // namespace

QString resultPageFileName(int pageNumber)
{
    if (pageNumber <= 1)
        return u"Vespira_Ergebnis.htm"_s;
    return u"Vespira_Ergebnis%1.htm"_s.arg(pageNumber);
}

QString fileLink(const QString &path)
{
    QString link = path;
    link.replace(u'\\', u'/');
    if (link.startsWith(u'/'))
        link.remove(0, 1);
    // What would end the attribute, start markup or an entity, or cut the path short as a
    // query or fragment; the rest stays readable.
    QString encoded;
    encoded.reserve(link.size() + 16);
    for (const QChar c : std::as_const(link)) {
        switch (c.unicode()) {
        case u'%': encoded += u"%25"_s; break;
        case u'"': encoded += u"%22"_s; break;
        case u'#': encoded += u"%23"_s; break;
        case u'?': encoded += u"%3F"_s; break;
        case u'<': encoded += u"%3C"_s; break;
        case u'>': encoded += u"%3E"_s; break;
        case u'&': encoded += u"%26"_s; break;
        default: encoded += c;
        }
    }
    return u"file:///"_s + encoded;
}

QString settingsSentence(bool caseSensitive, bool wholeWords)
{
    if (caseSensitive && wholeWords)
        return u"Sucheinstellung: Gross/Kleinschreibung <u>beachten</u> und nur <u>ganze</u> Wörter."_s;
    if (caseSensitive)
        return u"Sucheinstellung: Gross/Kleinschreibung <u>beachten</u> und Suchtext <u>auch als Teil</u> in einem Wort/Satz finden."_s;
    if (wholeWords)
        return u"Sucheinstellung: Gross/klein <u>egal</u> und <u>nur</u> ganze Wörter."_s;
    return u"Sucheinstellung: Gross/klein <u>egal</u> und Suchtext <u>auch als Teil</u> in einem Wort/Satz finden."_s;
}

QString optionsSentence(const ResultPageSettings &settings)
{
    QStringList options;
    if (settings.allWords)
        options << u"<u>alle Wörter</u>"_s;
    if (settings.umlauts)
        options << u"<u>Umlaute gleichwertig</u>"_s;
    if (settings.countHits)
        options << u"<u>Fundstellen zählen</u>"_s;
    if (settings.allDatabases)
        options << u"<u>in allen Datenbanken</u>"_s;
    if (options.isEmpty())
        return {};
    return u" Dazu: "_s + options.join(u", "_s) + u"."_s;
}

ResultPageWriter::ResultPageWriter(ResultPageSettings settings, ResultPageHooks hooks)
    : m_settings {std::move(settings)}
    , m_hooks {std::move(hooks)}
{
}

bool ResultPageWriter::SchreibHTMLDocNeu(const QString &searchText, qint64 count,
                                         const QList<Hit> &pageHits, app::SearchRunState &run,
                                         bool pathOpened)
{
    if (pathOpened) {
        if (m_hooks.endBusyIndication)
            m_hooks.endBusyIndication();
        return false;
    }

    // The hits as lines; a cancel meanwhile writes nothing.
    QList<PageLine> lines;
    lines.reserve(pageHits.size());
    for (const Hit &hit : pageHits) {
        if (!m_hooks.progress.step(lines.size(), pageHits.size()))
            return false;
        lines.append(PageLine::of(hit, m_settings.countHits));
    }

    // The last occurrence of the search text in the shown text in bold; the path inside the
    // link and the writer's markup are never marked. The bold part is as long as the text
    // was typed, blanks included, but ends with the shown text. A cancel now only ends the
    // marking: the page is written.
    const QString trimmedText = text::trimControl(searchText);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!m_hooks.progress.step(pageHits.size() + i, 2 * pageHits.size()))
            break;
        PageLine &line = lines[i];
        if (m_settings.allWords || m_settings.umlauts) {
            // The search matched words or spellings: the hit knows where they stand.
            if (line.text == pageHits[i].context)
                line.bold = pageHits[i].marks;
            continue;
        }
        const qsizetype q = lastPosition(line.text, trimmedText, m_settings.caseSensitive);
        if (q == 0)
            continue;
        line.bold = {{q - 1, qMin(searchText.size(), line.text.size() - (q - 1))}};
    }

    const int pageNumber = run.resultPageNumber;
    const bool noHits = lines.isEmpty();
    const QString sentence = settingsSentence(m_settings.caseSensitive, m_settings.wholeWords);
    const QString tempFolder = m_settings.programFolder + QString::fromUtf16(paths::Temp);

    QStringList page;
    page << u"<html>"_s << u"<Head>"_s << u"<Title> Vespira-HTML Suchergebnis </Title>"_s
         << u"<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"_s
         << u"<META http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'\">"_s
         << u"</Head>"_s
         << u"<body bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#669900\" Vlink=\"#999999\" Alink=\"#999999\" > <font face=\"verdana, arial, helvetica\">"_s;
    QString databases;
    if (m_settings.allDatabases) {
        QStringList names;
        for (const QString &name : m_settings.databaseNames)
            names << u"\""_s + name.toHtmlEscaped() + u"\""_s;
        databases = u"Datenbanken: "_s + names.join(u", "_s) + u"<br>"_s;
        for (const QString &problem : m_settings.problems)
            databases += problem.toHtmlEscaped() + u"<br>"_s;
    } else {
        databases = u"Datenbankname: \""_s + m_settings.databaseName.toHtmlEscaped() + u"\"<br>"_s;
    }
    page << databases + sentence + optionsSentence(m_settings) + (noHits ? u"<br>"_s : QString {});
    QString countLine = u"<br>Suchbegriff: <font color=\"#cc0000\">\"<u>"_s + searchText.toHtmlEscaped()
        + u"\"</u><font color=\"#000000\">"_s;
    if (noHits)
        countLine += u" wurde NICHT gefunden:<br>"_s;
    else if (count == 1)
        countLine += u" wurde in "_s + QString::number(count)
            + u" Datei gefunden.<br>Es wird nur die erste Fundstelle in der Datei hier aufgelistet:<br>"_s;
    else if (run.morePages)
        countLine += u" wurde bisher in "_s + QString::number(count)
            + u" Dateien gefunden.<br>Es wird jeweils nur die erste Fundstelle in der Datei hier aufgelistet:<br>"_s;
    else
        countLine += u" wurde in "_s + QString::number(count)
            + u" Dateien gefunden.<br>Es wird jeweils nur die erste Fundstelle in der Datei hier aufgelistet:<br>"_s;
    if (m_settings.countHits && !noHits) {
        // The whole search's figures, also on a page that can only say "bisher".
        const qsizetype sentenceEnd = countLine.indexOf(u"<br>Es wird"_s);
        countLine.insert(sentenceEnd + 4, u"Insgesamt "_s + occurrencesText(m_settings.totalOccurrences) + u" in "_s
                             + QString::number(m_settings.totalHits)
                             + (m_settings.totalHits == 1 ? u" Datei.<br>"_s : u" Dateien.<br>"_s));
    }
    page << countLine;
    page << QString(sentence.size() / 2, u'_') + u"<br><br>"_s;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Over all databases, each database's entries of the page under its name.
        if (m_settings.allDatabases && (i == 0 || pageHits[i].database != pageHits[i - 1].database))
            page << u"<font color=\"#000000\"><b>Datenbank \""_s + pageHits[i].database.toHtmlEscaped()
                    + u"\"</b><br><br>"_s;
        page << lines[i].html();
    }
    if (run.morePages) {
        const QString next = tempFolder + resultPageFileName(pageNumber <= 1 ? 2 : pageNumber + 1);
        page << u"<font color=\"#000000\"><a href=\""_s + fileLink(next) + u"\" target=\"_blank\">"_s
                + u"<span style=\"font-family:alrial;color:black;text-decoration:none;\">Zur nächsten Steite hier klicken</span>"_s
                + u"</a><br><br><br>"_s;
    }
    page << u"</font>"_s << u"</body>"_s << u"</html>"_s;

    const QByteArray bytes = encodeText(page.join(u"\r\n"_s) + u"\r\n"_s, CodePage::Utf8);
    if (m_hooks.files) {
        m_hooks.files->write(resultPageFileName(pageNumber), bytes);
    } else {
        ResultPageFiles files(tempFolder);
        files.write(resultPageFileName(pageNumber), bytes);
    }

    if (m_hooks.endBusyIndication)
        m_hooks.endBusyIndication();
    if (pageNumber == 1) {
        if (m_hooks.openInBrowser)
            m_hooks.openInBrowser(paths::resolveNoCase(tempFolder, u"vespira_ergebnis.htm"_s));
        run.resultPageNumber = 0;
    }
    return true;
}

} // namespace vespira::output
