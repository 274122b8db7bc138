#include "consolerun.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

const QStringList ConsoleRunner::writeCalls{ "write", "pwrite64", "writev", "pwritev", "pwritev2", "fsync",
    "fdatasync", "sync_file_range", "ftruncate", "fallocate", "rename", "renameat", "renameat2", "link", "linkat",
    "unlink", "unlinkat" };

bool ConsoleRun::printed(const QString& text) const
{
    for (const QString& line : lines) {
        if (line.contains(text))
            return true;
    }
    return false;
}

ConsoleRun ConsoleRunner::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    process.closeWriteChannel();
    ConsoleRun result;
    result.started = process.waitForStarted(30000);
    if (!result.started || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.killed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    result.lines = out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
    return result;
}

QStringList ConsoleRunner::straceArguments(const QStringList& paths)
{
    // '?' lets a name this machine's kernel does not have pass silently.
    QStringList calls;
    for (const QString& call : writeCalls)
        calls.append(QLatin1Char('?') + call);
    QStringList arguments{ "-f", "-qq", "-e", "signal=none", "-e", "trace=" + calls.join(QLatin1Char(',')) };
    for (const QString& path : paths)
        arguments << "-P" << path;
    return arguments;
}

ConsoleRun ConsoleRunner::finalize(const QString& root)
{
    return run(QStringLiteral(AMBREL_CLI_PATH), { "--finalize", root });
}

ConsoleRun ConsoleRunner::killedAt(const QString& root, const QStringList& paths, const QString& call, int n)
{
    return run("strace", straceArguments(paths) + QStringList{ "-o", "/dev/null", "-e",
        QStringLiteral("inject=%1:signal=KILL:when=%2").arg(call).arg(n), AMBREL_CLI_PATH, "--finalize", root });
}

ConsoleRun ConsoleRunner::failingAt(const QString& root, const QStringList& paths, const QString& call, int n,
    const QString& error)
{
    return run("strace", straceArguments(paths) + QStringList{ "-o", "/dev/null", "-e",
        QStringLiteral("inject=%1:error=%2:when=%3").arg(call, error).arg(n), AMBREL_CLI_PATH, "--finalize", root });
}

ConsoleRun ConsoleRunner::withFileSizeLimit(const QString& root, qint64 bytes)
{
    // An ignored signal stays ignored across exec, so the limit makes writes fail.
    return run("bash", { "-c", "trap '' XFSZ; exec prlimit --fsize=\"$1\" \"$2\" --finalize \"$3\"", "limit",
        QString::number(bytes), AMBREL_CLI_PATH, root });
}

QMap<QString, int> ConsoleRunner::writeCallCounts(const QString& root, const QStringList& paths)
{
    QMap<QString, int> counts;
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace");
    const ConsoleRun traced = run("strace", straceArguments(paths) + QStringList{ "-o", trace, AMBREL_CLI_PATH, "--finalize", root });
    if (!traced.started || traced.killed)
        return counts;
    QFile file(trace);
    if (!file.open(QIODevice::ReadOnly))
        return counts;
    // "1234 write(3, ..." or "write(3, ..."; resumed halves of a call are not counted twice.
    static const QRegularExpression call(QStringLiteral("^(?:\\d+\\s+)?(\\w+)\\("));
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QRegularExpressionMatch match = call.match(QString::fromLatin1(line));
        if (match.hasMatch() && writeCalls.contains(match.captured(1)))
            ++counts[match.captured(1)];
    }
    return counts;
}

QString ConsoleRunner::errorFor(const QString& call)
{
    return call.contains(QLatin1String("write")) || call == QLatin1String("fallocate") ? QStringLiteral("ENOSPC")
                                                                                          : QStringLiteral("EIO");
}
