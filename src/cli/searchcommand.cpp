#include "cli/commands.h"

#include <QTextStream>

namespace vespira::cli {

int runSearch(const QStringList &arguments)
{
    Q_UNUSED(arguments);
    QTextStream(stderr) << "vespira search: noch nicht verfügbar\n";
    return ExitError;
}

} // namespace vespira::cli
