#pragma once

#include "support/printers.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace vespira::test {

// A temporary program folder with its data folders; removed with the object.
class TempProgramFolder
{
public:
    TempProgramFolder();

    // The folder, ending with "/".
    QString path() const;
    // path() + relative.
    QString file(const QString &relative) const;
    // Writes bytes to path() + relative, creating folders on the way; returns the full path.
    QString write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

// Every file below folder with its bytes, except the scratch files in Temp folders (result
// pages, pieces): what a failed or cancelled run must leave as it was.
QMap<QString, QByteArray> snapshot(const QString &folder);

} // namespace vespira::test
