// The program itself, started the way a user starts it: the command line decides the
// program folder before any window exists.

#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(CommandLine, QtsOwnOptionsStillMakeTheExecutablesFolderTheProgramFolder)
{
    QTemporaryDir dir;
    const QString programFolder = dir.path() + u"/programm"_s;
    const QString workingFolder = dir.path() + u"/arbeit"_s;
    for (const QString &folder : QStringList {programFolder, workingFolder, dir.path() + u"/config"_s, dir.path() + u"/run"_s})
        ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(dir.path() + u"/run"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString program = programFolder + u"/vespira-html"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(VESPIRA_HTML), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, dir.path() + u"/config"_s); // never the user's settings
    env.insert(u"XDG_RUNTIME_DIR"_s, dir.path() + u"/run"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingFolder);
    process.setProgram(program);
    process.setArguments({u"-platform"_s, u"offscreen"_s});
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    // The data folders are made while the main window is created; the program then waits
    // for its user and is ended here.
    for (int i = 0; i < 300 && process.state() == QProcess::Running; ++i) {
        if (QFileInfo::exists(programFolder + u"/Datenbank/Temp"_s) || QFileInfo::exists(workingFolder + u"/Datenbank/Temp"_s))
            break;
        process.waitForFinished(100);
    }
    process.kill();
    process.waitForFinished(10000);

    EXPECT_TRUE(QFileInfo(programFolder + u"/Datenbank/Temp"_s).isDir());
    EXPECT_FALSE(QFileInfo::exists(workingFolder + u"/Datenbank"_s));
}
