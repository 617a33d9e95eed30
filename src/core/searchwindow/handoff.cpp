#include "core/searchwindow/handoff.h"

#include "core/common/paths.h"
#include "core/common/textfile.h"
#include "core/searchwindow/searchtextlists.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

QString handOffPath(const QString &controlFolder)
{
    if (controlFolder.isEmpty())
        return {};
    return controlFolder + u"Datenbank/Suchtext.txt"_s;
}

std::optional<QString> readHandOffText(const QString &controlFolder)
{
    const QString path = handOffPath(controlFolder);
    if (path.isEmpty() || !paths::isRegularFile(path))
        return std::nullopt;
    return decodeByByteOrderMark(readWholeFile(path));
}

std::optional<QString> takeHandOffText(const QString &controlFolder, const QString &readBefore)
{
    const QString path = handOffPath(controlFolder);
    if (path.isEmpty() || !paths::isRegularFile(path))
        return std::nullopt;
    const QString text = readBefore.isEmpty() ? decodeByByteOrderMark(readWholeFile(path)) : readBefore;
    QFile::remove(path);
    return text;
}

} // namespace vespira::searchwindow
