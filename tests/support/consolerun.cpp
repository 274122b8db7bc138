#include "consolerun.h"

#include <QProcess>

QString consolePath()
{
    return QStringLiteral(AMBREL_CLI_PATH);
}

ConsoleRun runConsole(const QStringList& arguments, const QStringList& wrapper, const QProcessEnvironment& environment)
{
    const QStringList command = wrapper + QStringList{ consolePath() } + arguments;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(command.first(), command.mid(1));
    process.closeWriteChannel();
    ConsoleRun run;
    run.started = process.waitForStarted(30000);
    if (!run.started || !process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.killed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = run.killed ? -1 : process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
