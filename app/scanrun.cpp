#include "app/scanrun.h"

#include "app/drivecheck.h"
#include "app/runfrontend.h"
#include "scan/finalize.h"

#include <QFileInfo>
#include <QtDebug>

ScanRun::ScanRun(RunFrontEnd& frontEnd)
    : frontEnd(frontEnd)
{
}

ScanRun::Outcome ScanRun::run(const QString& path, bool scanOnly)
{
    // A fresh scanner per run: counters and work buffer never carry over.
    Finalize scanner;
    frontEnd.clearOutput();
    const QStringList paths{path};
    scanner.scanOnly = scanOnly;
    QObject::connect(&scanner, &Finalize::textOutput,
                     [this](const QString& text) { frontEnd.writeLine(text); });
    scanner.stopRequested = &stopRequested;
    frontEnd.lockInputs();

    DriveCheck driveCheck(frontEnd);
    for (const QString& root : paths) {
        if (!driveCheck.checkBeforeScan(root)) {
            frontEnd.unlockInputs();
            return Outcome();
        }
        if (!acceptVolume(root, scanOnly)) {
            frontEnd.unlockInputs();
            Outcome refused;
            refused.volumeReadOnly = true;
            return refused;
        }
    }

    // Counted before the first take is touched, for the progress and the question.
    const Finalize::Count count = scanner.countTakes(paths);
    if (!scanOnly && count.unfinished > 0
        && !frontEnd.confirmFinalize(QFileInfo(path).absoluteFilePath(), count.unfinished)) {
        frontEnd.writeLine(tr("Nothing was finalized: the run was stopped before its first take."));
        frontEnd.unlockInputs();
        return Outcome();
    }
    int started = 0;
    QObject::connect(&scanner, &Finalize::takeStarting, [&](const QString& take) {
        ++started;
        frontEnd.takeStarting(started, qMax(count.takes, started), take);
    });
    QObject::connect(&scanner, &Finalize::takeFinished,
                     [this](const TakeResult& result) { frontEnd.takeFinished(result); });

    announceMode(scanOnly);
    scanner.start(paths);
    frontEnd.writeLine(QStringLiteral(" "));
    // Takes can appear behind the count; a stop leaves at least the next one.
    const int leftCount = scanner.stopped ? qMax(count.takes - started, 1) : 0;
    writeSummary(scanner, leftCount);
    frontEnd.unlockInputs();

    Outcome outcome;
    outcome.completed = true;
    outcome.leftCount = leftCount;
    outcome.finalizedCount = scanner.finalizedCount;
    outcome.unrecoverableCount = scanner.unrecoverableCount;
    outcome.leftUnfinishedCount = scanner.leftUnfinishedCount;
    outcome.skippedFolderCount = scanner.skippedFolderCount;
    outcome.pathMissing = scanner.pathMissing;
    return outcome;
}

bool ScanRun::acceptVolume(const QString& root, bool scanOnly)
{
    if (!DriveCheck::mountedReadOnly(root))
        return true;
    // Every take would fail at its first write and be called unrecoverable:
    // a finalize run ends here, before any take is touched.
    const QString drive = DriveCheck::driveOf(root);
    if (scanOnly)
        frontEnd.writeLine(tr("Drive %1 is mounted read-only.").arg(drive));
    else
        frontEnd.writeLine(tr("Drive %1 is mounted read-only: no file on it can be finalized.").arg(drive));
    return scanOnly;
}

void ScanRun::announceMode(bool scanOnly)
{
    if (scanOnly) {
        frontEnd.writeLine(tr("Displaying files that require finalization."));
        frontEnd.writeLine(tr("No files will be modifed."));
    } else {
        frontEnd.writeLine(tr("Scanning for unfinalized files."));
    }
}

void ScanRun::writeSummary(const Finalize& scanner, int leftCount)
{
    if (leftCount != 0)
        frontEnd.writeLine(tr("Stopped on request: %1 take(s) left as they were.").arg(leftCount));
    if (scanner.unrecoverableCount != 0)
        frontEnd.writeLine(tr("%1 file(s) unrecoverable.").arg(scanner.unrecoverableCount));
    // Takes a later run can still finish, and places nobody looked into.
    if (scanner.leftUnfinishedCount != 0)
        frontEnd.writeLine(tr("%1 file(s) not finalized, for the reasons given above.").arg(scanner.leftUnfinishedCount));
    if (scanner.skippedFolderCount != 0)
        frontEnd.writeLine(tr("%1 folder(s) could not be scanned.").arg(scanner.skippedFolderCount));

    if (scanner.scanOnly) {
        qDebug("Test Debug");
        frontEnd.writeLine(tr("%1 file(s) require finalizing.").arg(scanner.finalizedCount));
        frontEnd.writeLine(tr("Run again with Scan Mode set to 'Scan and Finalize'"));
    } else if (scanner.finalizedCount != 0) {
        frontEnd.writeLine(tr("%1 file(s) have been successfully finalized.").arg(scanner.finalizedCount));
    } else if (scanner.leftUnfinishedCount == 0 && scanner.skippedFolderCount == 0 && leftCount == 0) {
        frontEnd.writeLine(tr("No unfinalized files found."));
    }
}
