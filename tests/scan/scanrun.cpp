#include "scanrun.h"

#include "linerecorder.h"
#include "scan/finalize.h"

#include <QRegularExpression>

ScanRun ScanRun::finalize(const QString& root)
{
    ScanRun run;
    Finalize scanner;
    scanner.scanOnly = false;
    {
        LineRecorder recorder(scanner);
        scanner.start({ root });
        run.lines = recorder.lines;
    }
    run.finalized = scanner.finalizedCount;
    run.unrecoverable = scanner.unrecoverableCount;
    return run;
}

QStringList ScanRun::withoutStreamingLines() const
{
    static const QRegularExpression streaming(QStringLiteral("^(stream \\d+ entries \\([0-9a-f]+\\)|done streaming \\d+ entries)$"));
    QStringList kept;
    for (const QString& line : lines) {
        if (!streaming.match(line).hasMatch())
            kept.append(line);
    }
    return kept;
}
