#include "core/searchwindow/searchtextlists.h"

#include "core/app/databasefile.h"
#include "core/app/searchtextlistnames.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/common/textfile.h"

#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

QString decodeByByteOrderMark(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return text::fromUtf8Lenient(QByteArrayView(bytes).sliced(3));
    return text::fromAnsi(bytes);
}

QString searchTextListPath(const QString &programFolder, const QString &database,
                           app::DocumentKind kind)
{
    return app::resolveDatabaseFile(programFolder, programFolder + QString::fromUtf16(paths::Suchwoerterlisten),
                                    database, app::searchTextListSuffix(kind));
}

QStringList readSearchTextList(const QString &path)
{
    if (!paths::isRegularFile(path))
        return {};
    const QString whole = decodeByByteOrderMark(readWholeFile(path));
    QStringList texts;
    qsizetype start = 0;
    const qsizetype n = whole.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && whole[i] != u'\r' && whole[i] != u'\n')
            continue;
        if (i > start)
            texts << whole.mid(start, i - start);
        if (i + 1 < n && whole[i] == u'\r' && whole[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return texts;
}

void writeSearchTextList(const QString &path, const QStringList &texts)
{
    QString whole;
    for (const QString &t : texts)
        whole += t + u"\r\n"_s;
    writeFileAtomic(path, encodeText(whole, CodePage::Utf16LE));
}

void rememberSearchText(QStringList &texts, const QString &text)
{
    texts.removeAll(text);
    texts.removeAll(QString());
    texts.prepend(text);
    const QString placeholder = QString::fromUtf16(SearchTextPlaceholder);
    const qsizetype last = texts.lastIndexOf(placeholder);
    if (last >= 0)
        texts.removeAt(last);
    while (texts.size() > MaxSearchTexts)
        texts.removeLast();
}

QStringList searchTextListsToSave(const QStringList &texts, const QString &programFolder,
                                  const QString &database, app::DocumentKind activeKind,
                                  const app::SearchRunState &run)
{
    QStringList files;
    if (texts.isEmpty())
        return files;
    switch (activeKind) {
    case app::DocumentKind::Utf8:
        if (!run.utf8ListFlag)
            files << searchTextListPath(programFolder, database, app::DocumentKind::Utf8);
        break;
    case app::DocumentKind::Mht:
        if (!run.mhtListFlag)
            files << searchTextListPath(programFolder, database, app::DocumentKind::Mht);
        break;
    case app::DocumentKind::Ansi:
        break;
    case app::DocumentKind::None:
        if (!run.noResult)
            files << searchTextListPath(programFolder, database, app::DocumentKind::None);
        break;
    }
    return files;
}

QStringList updateSearchTextListsAfterSearch(QStringList &texts, const QString &text,
                                             const QString &programFolder,
                                             const QString &database,
                                             app::DocumentKind activeKind,
                                             const app::SearchRunState &run)
{
    rememberSearchText(texts, text);
    const QStringList files = searchTextListsToSave(texts, programFolder, database, activeKind, run);
    for (const QString &file : files)
        writeSearchTextList(file, texts);
    return files;
}

} // namespace vespira::searchwindow
