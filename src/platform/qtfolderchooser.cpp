#include "platform/qtfolderchooser.h"

#include <QApplication>
#include <QFileDialog>

namespace vespira::platform {

QString QtFolderChooser::chooseFolder(const QString &caption, const QString &start)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, start, QFileDialog::ShowDirsOnly);
}

} // namespace vespira::platform
