#ifndef SCANRUN_H
#define SCANRUN_H

#include <QCoreApplication>
#include <QString>

class Finalize;
class RunFrontEnd;

// One run from Start to the summary: drive check, scan, counts. The window and
// the console both run it; they differ only in their RunFrontEnd.
class ScanRun
{
    Q_DECLARE_TR_FUNCTIONS(ScanRun)

public:
    struct Outcome
    {
        bool completed = false; // false when the drive check ended the run
        int finalizedCount = 0;
        int unrecoverableCount = 0;
        bool pathMissing = false; // a root was not a folder: nothing was scanned from it
        bool volumeReadOnly = false; // a finalize run refused a volume mounted read-only
    };

    explicit ScanRun(RunFrontEnd& frontEnd);

    Outcome run(const QString& path, bool scanOnly);

private:
    // Says so of a volume mounted read-only; false when that ends a finalize run.
    bool acceptVolume(const QString& root, bool scanOnly);
    void announceMode(bool scanOnly);
    void writeSummary(const Finalize& scanner);

    RunFrontEnd& frontEnd;
};

#endif
