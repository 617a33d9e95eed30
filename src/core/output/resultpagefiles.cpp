#include "core/output/resultpagefiles.h"

#include "core/common/error.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace vespira::output {

namespace {

bool isResultPage(const QString &name)
{
    return name.startsWith(u"Vespira_Ergebnis"_s, Qt::CaseInsensitive) && name.endsWith(u".htm"_s, Qt::CaseInsensitive);
}

constexpr char16_t SparePrefix[] = u".vespira-spare-";

bool renameOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

ResultPageFiles::ResultPageFiles(QString tempFolder)
    : m_folder {std::move(tempFolder)}
{
    if (!m_folder.endsWith(u'/'))
        m_folder += u'/';
}

void ResultPageFiles::emptyFolder()
{
    m_spares.clear();
    QDir dir(m_folder);
    if (dir.exists()) {
        const QFileInfoList entries = dir.entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            const QString name = entry.fileName();
            const bool plainFile = entry.isFile() && !entry.isSymLink();
            if (plainFile && name.startsWith(QStringView(SparePrefix))) {
                m_spares << entry.absoluteFilePath();
            } else if (plainFile && isResultPage(name)) {
                QString spare;
                do
                    spare = m_folder + QStringView(SparePrefix) + QString::number(m_nextSpare++);
                while (QFileInfo::exists(spare));
                if (renameOver(entry.absoluteFilePath(), spare))
                    m_spares << spare;
                else
                    QFile::remove(entry.absoluteFilePath());
            } else if (entry.isDir() && !entry.isSymLink()) {
                QDir(entry.absoluteFilePath()).removeRecursively();
            } else {
                QFile::remove(entry.absoluteFilePath());
            }
        }
    }
    QDir().mkpath(m_folder);
}

void ResultPageFiles::write(const QString &fileName, const QByteArray &bytes)
{
    const QString path = m_folder + fileName;
    const QString spare = m_spares.isEmpty() ? QString() : m_spares.takeLast();
    try {
        writeFileReplacing(path, bytes, spare);
    } catch (const Error &) {
        if (QFileInfo::exists(m_folder))
            throw;
        // Someone tidying up removed the folder while the run went on.
        m_spares.clear();
        QDir().mkpath(m_folder);
        writeFileReplacing(path, bytes);
    }
}

void ResultPageFiles::dropSpares()
{
    for (const QString &spare : std::as_const(m_spares))
        QFile::remove(spare);
    m_spares.clear();
}

} // namespace vespira::output
