#pragma once

// Running the command-line tool from the tests of this folder.

#include "support/tempdir.h"

#include <QProcess>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace vespira::test {

struct CliResult
{
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

struct CliOptions
{
    QString configFolder;                     // XDG_CONFIG_HOME of the run; empty: as inherited
    QString locale = QStringLiteral("C.UTF-8"); // LC_ALL of the run
    // No file of the run may grow beyond this many bytes, which fails writes just as a
    // full disk does.
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

inline QProcessEnvironment cliEnvironment(const CliOptions &options)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!options.configFolder.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), options.configFolder);
    env.insert(QStringLiteral("LC_ALL"), options.locale);
    return env;
}

inline CliResult runCli(const QStringList &arguments, const CliOptions &options = {})
{
    QProcess process;
    process.setProcessEnvironment(cliEnvironment(options));
    if (options.fileSizeLimit != RLIM_INFINITY) {
        const rlim_t limit = options.fileSizeLimit;
        process.setChildProcessModifier([limit] {
            std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails with EFBIG instead
            const rlimit l {limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &l);
        });
    }
    process.start(QStringLiteral(VESPIRA_CLI), arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.exitStatus() != QProcess::NormalExit,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace vespira::test
