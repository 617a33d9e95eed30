#pragma once

// The files of the result pages in "Datenbank/Temp". A run empties the folder and then
// writes hundreds of pages when it finds thousands of documents; on ext4, creating that
// many files right after deleting as many costs more than the whole scan, as the inode
// allocator walks every recently freed inode for each new one. So emptying the folder
// keeps the last run's pages as hidden spare files, and each new page is written into a
// spare: renamed to a temporary name, rewritten, renamed into place. What a reader sees is
// the same: the folder holds no old page once emptied, and a page is there whole or not
// at all (pages are not waited for on the disk: every run makes them anew).
//
//   ResultPageFiles files(tempFolder);
//   files.emptyFolder();                 // the run's step 4
//   files.write(u"Vespira_Ergebnis.htm"_s, bytes);
//   files.dropSpares();                  // the end of the run

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vespira::output {

class ResultPageFiles
{
public:
    explicit ResultPageFiles(QString tempFolder);

    // Removes every entry of the folder (folders recursively, failures ignored) except
    // result pages and spares, which are kept as spares; then makes sure the folder exists.
    void emptyFolder();

    // Writes a page under fileName in the folder, into a spare when one is left. Makes the
    // folder again when someone removed it meanwhile. Throws Error when it cannot write.
    void write(const QString &fileName, const QByteArray &bytes);

    // Deletes the spares no page took.
    void dropSpares();

private:
    QString m_folder;     // ends with "/"
    QStringList m_spares; // full paths
    int m_nextSpare = 0;
};

} // namespace vespira::output
