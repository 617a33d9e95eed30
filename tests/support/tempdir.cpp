#include "support/tempdir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vespira::test {

TempProgramFolder::TempProgramFolder()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Datenbank/Suchwoerterlisten"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Datenbank/Temp"));
}

QString TempProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TempProgramFolder::file(const QString &relative) const
{
    return path() + relative;
}

QString TempProgramFolder::write(const QString &relative, const QByteArray &bytes) const
{
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return full;
}

QByteArray TempProgramFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray {};
}

bool TempProgramFolder::exists(const QString &relative) const
{
    return QFileInfo::exists(file(relative));
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!path.contains(QStringLiteral("/Temp/")) && f.open(QIODevice::ReadOnly))
            files.insert(path, f.readAll());
    }
    return files;
}

} // namespace vespira::test
