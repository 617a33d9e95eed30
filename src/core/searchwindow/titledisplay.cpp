#include "core/searchwindow/titledisplay.h"

#include "core/common/text.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

std::optional<QString> titleAt(const QList<db::TitlePositions::Entry> &entries, qint64 position)
{
    // Offsets ascend in every file the producer writes, but nothing here relies on it:
    // the first entry whose block (up to the next entry's offset) holds the position wins.
    const qsizetype n = entries.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (entries[i].offset > position)
            continue;
        if (i + 1 < n && position >= entries[i + 1].offset)
            continue;
        if (entries[i].path.isEmpty())
            return std::nullopt;
        return entries[i].path;
    }
    return std::nullopt;
}

QString titleCaption(qint64 position, const std::optional<QString> &title)
{
    QString caption = text::groupedNumber(position);
    if (title)
        caption += u"  \""_s + *title + u"\""_s;
    return caption;
}

QString shortenCaption(QString caption, const std::function<bool(const QString &)> &tooWide)
{
    bool cut = false;
    while (!caption.isEmpty() && tooWide(caption)) {
        caption.chop(7);
        cut = true;
    }
    if (cut)
        caption += u"..."_s;
    return caption;
}

qint64 restoredSelectionStart(const QString &rememberedFirstLine, qint64 rememberedStart,
                              const QString &currentFirstLine)
{
    if (currentFirstLine.contains(rememberedFirstLine))
        return rememberedStart;
    return currentFirstLine.size() + 1 + rememberedStart;
}

} // namespace vespira::searchwindow
