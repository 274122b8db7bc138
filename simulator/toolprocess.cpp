#include "toolprocess.h"

#include <QProcess>

QString ToolRun::describe() const
{
    QString how;
    if (timedOut)
        how = QStringLiteral("timed out");
    else if (exitCode < 0)
        how = QStringLiteral("could not be started");
    else
        how = QStringLiteral("exit code %1").arg(exitCode);
    const QString lastError = QString::fromLocal8Bit(standardError.right(2000)).trimmed();
    return QStringLiteral("%1: %2%3").arg(command, how,
                                          lastError.isEmpty() ? QString() : QStringLiteral(": ") + lastError);
}

ToolRun ToolProcess::run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ToolRun result;
    result.command = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(timeoutMs)) {
        result.standardError = process.errorString().toLocal8Bit();
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        result.timedOut = true;
        process.kill();
        process.waitForFinished(5000);
        result.standardError = process.readAllStandardError();
        return result;
    }
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.ok = process.exitStatus() == QProcess::NormalExit && result.exitCode == 0;
    return result;
}
