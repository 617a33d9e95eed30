// vespira-index: what `vespira index` runs (see main.cpp); it takes the arguments after
// "index".

#include "cli/commands.h"

#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"vespira"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VESPIRA_VERSION));
    return vespira::cli::runIndex(QCoreApplication::arguments().mid(1));
}
