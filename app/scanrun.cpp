#include "app/scanrun.h"

#include "app/drivecheck.h"
#include "app/runfrontend.h"
#include "scan/finalize.h"

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

    announceMode(scanOnly);
    scanner.start(paths);
    frontEnd.writeLine(QStringLiteral(" "));
    writeSummary(scanner);
    frontEnd.unlockInputs();

    Outcome outcome;
    outcome.completed = true;
    outcome.finalizedCount = scanner.finalizedCount;
    outcome.unrecoverableCount = scanner.unrecoverableCount;
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

void ScanRun::writeSummary(const Finalize& scanner)
{
    if (scanner.unrecoverableCount != 0)
        frontEnd.writeLine(tr("%1 file(s) unrecoverable.").arg(scanner.unrecoverableCount));

    if (scanner.scanOnly) {
        qDebug("Test Debug");
        frontEnd.writeLine(tr("%1 file(s) require finalizing.").arg(scanner.finalizedCount));
        frontEnd.writeLine(tr("Run again with Scan Mode set to 'Scan and Finalize'"));
    } else if (scanner.finalizedCount != 0) {
        frontEnd.writeLine(tr("%1 file(s) have been successfully finalized.").arg(scanner.finalizedCount));
    } else {
        frontEnd.writeLine(tr("No unfinalized files found."));
    }
}
