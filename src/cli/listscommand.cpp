#include "cli/commands.h"

#include <QTextStream>

namespace vespira::cli {

int runLists(const QStringList &arguments)
{
    Q_UNUSED(arguments);
    QTextStream(stderr) << "vespira lists: noch nicht verfügbar\n";
    return ExitError;
}

} // namespace vespira::cli
