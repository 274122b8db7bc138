#include "app/drivecheck.h"

#include "app/runfrontend.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QtDebug>

namespace {
const int toolTimeoutMs = 5000;
// How long one poll of the disk checker may block before the window gets its events again.
const int checkerPollMs = 50;
}

DriveCheck::DriveCheck(RunFrontEnd& frontEnd)
    : frontEnd(frontEnd)
{
}

QString DriveCheck::driveOf(const QString& path)
{
#ifdef Q_OS_WIN
    return QFileInfo(path).absolutePath().left(2);
#else
    // Drive letters are Windows' own: elsewhere a volume is known by where it
    // is mounted, and a card's mount point is the path itself, not its folder.
    return volumeOf(path).rootPath();
#endif
}

bool DriveCheck::mountedReadOnly(const QString& path)
{
    return volumeOf(path).isReadOnly();
}

QStorageInfo DriveCheck::volumeOf(const QString& path)
{
    // A path that does not exist (yet) lies on the volume of its nearest folder that does.
    QString existing = QFileInfo(path).absoluteFilePath();
    for (;;) {
        const QStorageInfo volume(existing);
        const QString parent = QFileInfo(existing).path();
        if (volume.isValid() || parent == existing)
            return volume;
        existing = parent;
    }
}

bool DriveCheck::startTool(QProcess& process, const QString& program, const QStringList& arguments)
{
    // The tools are Windows': where they do not exist they are not started at all.
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments, QIODevice::ReadWrite);
    // Nobody answers the tools: a question on their input must meet its end at once
    // instead of waiting for ever.
    process.closeWriteChannel();
    return true;
}

int DriveCheck::queryDirty(const QString& drive)
{
    QProcess query;
    if (!startTool(query, QStringLiteral("fsutil"), {QStringLiteral("dirty"), QStringLiteral("query"), drive})
        || !query.waitForFinished(toolTimeoutMs))
        return queryFailed;

    const QString output = QString::fromLocal8Bit(query.readAll());
    qDebug() << "fsutil: " << output;
    return output.contains(QLatin1String("NOT")) ? clean : dirty;
}

int DriveCheck::checkDrive(const QString& drive, bool repair)
{
    const int state = queryDirty(drive);
    if (state != dirty || !repair)
        return state;

    QProcess checker;
    if (!startTool(checker, QStringLiteral("chkdsk"), {QStringLiteral("/F"), QStringLiteral("/X"), drive})
        || !checker.waitForStarted(toolTimeoutMs)) {
        qDebug("Failed to start chkdsk process.");
        return queryFailed;
    }

    // A check may take hours: no time limit, but the window keeps repainting.
    while (checker.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents();
        if (checker.bytesAvailable() > 0)
            writeCheckerOutput(checker);
        else
            checker.waitForReadyRead(checkerPollMs);
    }
    // The checker's last words (its verdict) may arrive together with its exit.
    if (checker.bytesAvailable() > 0)
        writeCheckerOutput(checker);

    return queryDirty(drive);
}

void DriveCheck::writeCheckerOutput(QProcess& checker)
{
    frontEnd.writeLine(QString::fromLocal8Bit(checker.readAll()));
}

bool DriveCheck::checkBeforeScan(const QString& path)
{
    const QString drive = driveOf(path);
    frontEnd.writeLine(tr("Checking drive: %1").arg(drive));
    if (queryDirty(drive) != dirty)
        return true;

    const bool checkNow = frontEnd.askYesNo(
        tr("Check Drive?"),
        tr("The drive (%1) needs to be checked for errors. Press okay to check?").arg(drive));
    if (!checkNow) {
        frontEnd.writeLine(tr("Warning: Skipping Drive Check on %1").arg(drive));
        return true;
    }

    frontEnd.writeLine(tr("Checking drive: %1").arg(drive));
    if (checkDrive(drive, true) == clean)
        return true;
    frontEnd.showInformation(
        tr("Check Drive Error"),
        tr("Drive %1 still reporting errors. Please check drive and try again.").arg(drive));
    return false;
}
