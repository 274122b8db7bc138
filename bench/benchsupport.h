#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

#include "takedescription.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// Pieces the repair benchmarks share: a recording with a full frame map,
// the floors' plain file work, and the process's memory figures.

// A recording whose head holds `map` and whose media is a hole the repair
// never reads (a sparse file), for the whole run.
class FullRecording
{
public:
    FullRecording(const TakeDescription& take, const QList<quint16>& map, const QString& name);

    QTemporaryDir dir;
    QString path;
    qint64 mediaEnd = 0; // the end of the items the map lists, and the recorded end
    bool ok = false;
};

// Back to the open movie data header the recorder leaves, for another repair.
bool reopenMovieDataHeader(const QString& path);

// Reads `length` bytes at `offset`, writes `bytes` at `writeAt`, syncs.
bool readWriteSync(const QString& path, qint64 offset, qint64 length, qint64 writeAt, const QByteArray& bytes);

// A /proc/self/status figure ("VmRSS:", "VmHWM:") in megabytes.
double statusMegabytes(const char* field);
// Starts the peak ("VmHWM:") afresh.
void resetPeakMemory();

// Runs the registered benchmarks with the repair's report lines muted, which
// would drown the table.
int runBenchmarks(int argc, char** argv);

#endif
