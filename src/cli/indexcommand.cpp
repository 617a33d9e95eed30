#include "cli/commands.h"

#include <QTextStream>

namespace vespira::cli {

int runIndex(const QStringList &arguments)
{
    Q_UNUSED(arguments);
    QTextStream(stderr) << "vespira index: noch nicht verfügbar\n";
    return ExitError;
}

} // namespace vespira::cli
