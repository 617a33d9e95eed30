#include "cli/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const char16_t Usage[] =
    u"Aufruf: vespira BEFEHL [OPTIONEN] ...\n"
    u"\n"
    u"Befehle:\n"
    u"  index [-C PROGRAMMORDNER] [--replace] NAME ORDNER...\n"
    u"        Baut die Datenbank NAME aus den HTML-, MHT- und EML-Dokumenten der Ordner.\n"
    u"  index --update [-C PROGRAMMORDNER] NAME\n"
    u"        Bringt die Datenbank NAME auf den Stand ihrer Ordner.\n"
    u"  index --update-all [-C PROGRAMMORDNER]\n"
    u"        Bringt jede Datenbank des Programmordners auf den Stand ihrer Ordner.\n"
    u"  search [-C PROGRAMMORDNER] [--case] [--whole-words] [--all-words] [--umlauts] [--count]\n"
    u"         [--open] [--scan] NAME TEXT\n"
    u"        Durchsucht die Datenbank NAME und schreibt die Ergebnisseiten;\n"
    u"        --scan ohne den Trigramm-Index.\n"
    u"  search [OPTIONEN] --all-databases TEXT\n"
    u"        Durchsucht alle Datenbanken des Programmordners.\n"
    u"  lists [-C PROGRAMMORDNER] [--mode words|phrases|both] NAME\n"
    u"        Erstellt die sortierte Wort- oder Phrasenliste der Datenbank NAME.\n"
    u"  trigrams [-C PROGRAMMORDNER] NAME\n"
    u"        Schreibt die Trigramm-Indexe der Datenbank NAME neu.\n"
    u"\n"
    u"  --help     diese Hilfe\n"
    u"  --version  die Version\n";

// `vespira index` is vespira-index, a program of its own (installed in VESPIRA_INDEX_PROGRAM_DIR
// from here, built beside this one): it replaces this process with the same arguments, so
// exit code, output and Ctrl+C are its own.
int runIndexProgram(int argc, char *argv[], QTextStream &err)
{
    const QString here = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(here + QStringLiteral("/" VESPIRA_INDEX_PROGRAM_DIR));
    for (const QString &folder : {here, installed}) {
        QByteArray program = QFile::encodeName(folder + u"/vespira-index"_s);
        if (::access(program.constData(), X_OK) != 0)
            continue;
        std::vector<char *> arguments {program.data()};
        arguments.insert(arguments.end(), argv + 2, argv + argc);
        arguments.push_back(nullptr);
        std::fflush(nullptr);
        ::execv(program.constData(), arguments.data());
        err << u"vespira: \""_s << QFile::decodeName(program) << u"\" kann nicht gestartet werden: "_s
            << QString::fromLocal8Bit(std::strerror(errno)) << u'\n';
        return vespira::cli::ExitError;
    }
    err << u"vespira: das Programm vespira-index fehlt (erwartet in \""_s << here << u"\" oder \""_s << installed
        << u"\").\n"_s;
    return vespira::cli::ExitError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"vespira"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VESPIRA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        err << QString::fromUtf16(Usage);
        return vespira::cli::ExitError;
    }
    const QString command = arguments.takeFirst();
    if (command == u"--help" || command == u"-h") {
        out << QString::fromUtf16(Usage);
        return vespira::cli::ExitOk;
    }
    if (command == u"--version") {
        out << u"vespira "_s << QCoreApplication::applicationVersion() << u'\n';
        return vespira::cli::ExitOk;
    }
    if (command == u"index")
        return runIndexProgram(argc, argv, err);
    if (command == u"search")
        return vespira::cli::runSearch(arguments);
    if (command == u"lists")
        return vespira::cli::runLists(arguments);
    if (command == u"trigrams")
        return vespira::cli::runTrigrams(arguments);
    err << u"vespira: unbekannter Befehl \""_s << command << u"\"\n\n"_s << QString::fromUtf16(Usage);
    return vespira::cli::ExitError;
}
