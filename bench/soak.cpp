// Runs the headless search and list build again and again in one process and reports the
// resident memory after the first round and at the end, so a leak or a cache that only grows
// shows up as growth between the two.
//   soak PROGRAM_FOLDER DATABASE [SEARCHES] [LIST_BUILDS]

#include "cli/commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "Aufruf: soak PROGRAMMORDNER DATENBANK [SUCHEN] [LISTEN]\n");
        return 2;
    }
    const QString folder = arguments.at(1);
    const QString database = arguments.at(2);
    const int searches = arguments.size() > 3 ? arguments.at(3).toInt() : 1000;
    const int builds = arguments.size() > 4 ? arguments.at(4).toInt() : 50;
    const int rounds = builds > 0 ? builds : 1;

    // The commands print every hit; the report goes to the original standard output.
    std::fflush(stdout);
    std::FILE *report = fdopen(dup(STDOUT_FILENO), "w");
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);

    const QStringList words = {QStringLiteral("function"), QStringLiteral("Übersicht"), QStringLiteral("the"),
                               QStringLiteral("zzqx-nowhere"), QStringLiteral("return value"),
                               QStringLiteral("Python"), QStringLiteral("class"), QStringLiteral("Größe")};
    QElapsedTimer clock;
    clock.start();
    long afterFirst = 0;
    int searched = 0, built = 0, failures = 0;
    for (int round = 0; round < rounds; ++round) {
        const int quota = searches * (round + 1) / rounds - searches * round / rounds;
        for (int i = 0; i < quota; ++i, ++searched) {
            const QString text = words.at(searched % words.size());
            QStringList args {QStringLiteral("-C"), folder};
            if (searched % 3 == 1)
                args << QStringLiteral("--case");
            if (searched % 5 == 2)
                args << QStringLiteral("--whole-words");
            args << database << text;
            if (vespira::cli::runSearch(args) == vespira::cli::ExitError)
                ++failures;
        }
        if (round < builds) {
            if (vespira::cli::runLists({QStringLiteral("-C"), folder, QStringLiteral("--mode"),
                                        round % 2 ? QStringLiteral("phrases") : QStringLiteral("words"), database})
                != vespira::cli::ExitOk)
                ++failures;
            ++built;
        }
        if (round == 0)
            afterFirst = residentKiB();
        if (qEnvironmentVariableIsSet("SOAK_TRACE"))
            std::fprintf(report, "round %d: %.1f MB\n", round + 1, residentKiB() / 1024.0);
    }
    const long atEnd = residentKiB();
    std::fprintf(report, "%d searches, %d list builds, %d failed, %.1f s\n", searched, built, failures,
                 clock.elapsed() / 1000.0);
    std::fprintf(report, "resident after the first round: %.1f MB, at the end: %.1f MB, growth %+.1f %%\n",
                 afterFirst / 1024.0, atEnd / 1024.0, afterFirst > 0 ? 100.0 * (atEnd - afterFirst) / afterFirst : 0.0);
    std::fclose(report);
    return failures == 0 && atEnd <= afterFirst * 11 / 10 ? 0 : 1;
}
