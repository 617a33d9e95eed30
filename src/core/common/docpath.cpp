#include "core/common/docpath.h"

#include "core/common/paths.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira {

DocPathMapper::DocPathMapper(SettingReader readSetting)
    : m_readSetting {std::move(readSetting)}
{
}

QString slashes(QString path)
{
    return path.replace(u'\\', u'/');
}

bool hasDrivePrefix(const QString &path)
{
    return path.size() >= 3 && path.at(0).isLetter() && path.at(0).unicode() < 128
        && path.at(1) == u':' && path.at(2) == u'\\';
}

QString DocPathMapper::driveRoot(QChar letter) const
{
    const QChar upper = letter.toUpper();
    if (upper == u'Z')
        return u"/"_s;
    if (!m_readSetting || upper.unicode() < 'A' || upper.unicode() > 'Z')
        return {};
    const QString folder = m_readSetting(u"Laufwerk_"_s + upper);
    return folder.isEmpty() ? QString {} : paths::withSlash(folder);
}

QString DocPathMapper::toNative(const QString &windowsPath) const
{
    if (!hasDrivePrefix(windowsPath))
        return {};
    const QString root = driveRoot(windowsPath.at(0));
    if (root.isEmpty())
        return {};
    return root + slashes(windowsPath.mid(3));
}

bool DocPathMapper::existsAsFile(const QString &windowsPath) const
{
    const QString native = toNative(windowsPath);
    return !native.isEmpty() && paths::isRegularFile(native);
}

} // namespace vespira
