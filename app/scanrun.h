#ifndef SCANRUN_H
#define SCANRUN_H

#include <QCoreApplication>
#include <QString>

#include <atomic>

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
        int leftUnfinishedCount = 0; // left for their surroundings, or repaired and not renamed
        int skippedFolderCount = 0;  // folders that could not be read or entered
        bool pathMissing = false; // a root was not a folder or a take: nothing was scanned from it
        int leftCount = 0;        // takes a stop left as they were
        bool volumeReadOnly = false; // a finalize run refused a volume mounted read-only
    };

    explicit ScanRun(RunFrontEnd& frontEnd);

    Outcome run(const QString& path, bool scanOnly);
    // From any thread: the run stops after the take it is handling.
    void requestStop() { stopRequested = true; }

private:
    // Says so of a volume mounted read-only; false when that ends a finalize run.
    bool acceptVolume(const QString& root, bool scanOnly);
    void announceMode(bool scanOnly);
    void writeSummary(const Finalize& scanner, int leftCount);

    RunFrontEnd& frontEnd;
    std::atomic_bool stopRequested{false};
};

#endif
