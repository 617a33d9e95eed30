#include "core/searchwindow/searchbar.h"

#include "core/common/paths.h"
#include "core/common/text.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

std::optional<QString> tagRemnantWriteBack(const QString &barText)
{
    const QString t = text::trimControl(barText);
    if (t.startsWith(u"/><"_s))
        return t.mid(3);
    if (t.startsWith(u'<'))
        return t.mid(1);
    if (const qsizetype gt = t.indexOf(u'>'); gt >= 0)
        return t.left(gt);
    if (const qsizetype lt = t.indexOf(u'<'); lt >= 0)
        return t.left(lt);
    if (const qsizetype slash = t.indexOf(u'/'); slash >= 0 && slash == t.size() - 1)
        return text::trimControl(t.left(slash));
    return std::nullopt;
}

bool choosesPhrase(const QString &trimmed)
{
    return trimmed.contains(u' ') || trimmed.contains(u'\t');
}

bool isPathShortcut(const QString &trimmed)
{
    return trimmed.startsWith(u'#') && trimmed.mid(2, 2) == u":\\"_s;
}

bool hasFileExtension(const QString &windowsPath)
{
    const qsizetype dot = windowsPath.lastIndexOf(u'.');
    return dot >= 0 && dot > windowsPath.lastIndexOf(u'\\') && dot > windowsPath.lastIndexOf(u'/');
}

QString driveLetterSearch(const QString &pathWithoutLetter, const QString &programFolder,
                          const DocPathMapper &mapper)
{
    // The program folder lies under the root, which is drive Z.
    if (mapper.existsAsFile(u"Z"_s + pathWithoutLetter))
        return mapper.toNative(u"Z"_s + pathWithoutLetter);
    QString found;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        if (letter == u'C')
            continue;
        const QString candidate = QChar(letter) + pathWithoutLetter;
        if (mapper.existsAsFile(candidate))
            found = mapper.toNative(candidate);
    }
    if (found.isEmpty() && pathWithoutLetter.startsWith(u":\\"_s))
        found = programFolder + slashes(pathWithoutLetter.mid(2));
    return found;
}

PathShortcut resolvePathShortcut(const QString &trimmed, const QString &programFolder,
                                 const DocPathMapper &mapper)
{
    PathShortcut result;
    result.withoutLetter = trimmed.mid(2);
    result.typed = trimmed.mid(1);
    result.missingExtension = !hasFileExtension(result.withoutLetter);
    // A path without its drive letter names no file here, so the search always runs.
    const QString searched = driveLetterSearch(result.withoutLetter, programFolder, mapper);
    if (!searched.isEmpty() && paths::isRegularFile(searched))
        result.nativeFile = searched;
    else if (mapper.existsAsFile(result.typed))
        result.nativeFile = mapper.toNative(result.typed);
    return result;
}

QString missingExtensionText(const QString &withoutLetter)
{
    return u"?"_s + withoutLetter + u"\n"_s + u" hat keine Dateiendung."_s + u"\n"_s
        + u"Überprüfen Sie ob im Viewer der \"Pfad+Dateiname+Endung\" in einer Zeile steht. "_s
        + u"Wenn der Eintrag umgebrochen ist (ein Teil steht eine Zeile darunter), "_s
        + u"dann verbreitern Sie das Fenster bis er in einer Zeile steht."_s;
}

QString notFoundText(const QString &typed)
{
    return typed + u"\n"_s + u"wurde nicht gefunden."_s;
}

QString openPathQuestion()
{
    return u"Bei dem Suchtext handelt es sich um einen Pfad zu einer Datei.\n"
           u"Möchten Sie die Datei mit dem zugehörigen externen Programm öffnen?"_s;
}

} // namespace vespira::searchwindow
