#include "unprivileged.h"

#include <QDirIterator>
#include <QFile>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const uid_t nobody = 65534;
const gid_t nobodyGroup = 65534;
}

bool Unprivileged::handOver(const QString& path)
{
    if (geteuid() != 0)
        return true;
    bool ok = lchown(QFile::encodeName(path).constData(), nobody, nobodyGroup) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = lchown(QFile::encodeName(it.next()).constData(), nobody, nobodyGroup) == 0 && ok;
    return ok;
}

QStringList Unprivileged::run(const std::function<QStringList()>& work)
{
    if (geteuid() != 0)
        return work();
    int channel[2];
    if (pipe(channel) != 0)
        return { QStringLiteral("<no pipe to an unprivileged child>") };
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgroups(0, nullptr) != 0 || setgid(nobodyGroup) != 0 || setuid(nobody) != 0)
            _exit(1);
        // Each string ends in a zero byte, so an empty list stays empty.
        QByteArray lines;
        for (const QString& line : work())
            lines += line.toUtf8() + '\0';
        for (qint64 sent = 0; sent < lines.size();) {
            const ssize_t count = write(channel[1], lines.constData() + sent, size_t(lines.size() - sent));
            if (count <= 0)
                _exit(1);
            sent += count;
        }
        _exit(0);
    }
    close(channel[1]);
    QByteArray received;
    char buffer[4096];
    for (ssize_t count; child > 0 && (count = read(channel[0], buffer, sizeof buffer)) > 0;)
        received.append(buffer, count);
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return { QStringLiteral("<work as an unprivileged user failed>") };
    QStringList lines = QString::fromUtf8(received).split(QChar(0));
    lines.removeLast();
    return lines;
}
