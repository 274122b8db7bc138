#ifndef OPENTAKE_H
#define OPENTAKE_H

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>

// One take opened for its repair: for reading and writing, locked against
// other runs, and given back the time the recorder last wrote it (editors
// and media managers sort takes by it) once the repair is done.
class OpenTake
{
    Q_DECLARE_TR_FUNCTIONS(OpenTake)

public:
    explicit OpenTake(const QString& path);

    // Empty when the take is open and this run holds it; otherwise why it
    // is left as it is, in plain words. The file stays closed when it could
    // not be opened at all.
    QString open();
    QFile& file() { return take; }

    // Gives the take back its time, then calls `rename` (while the lock is
    // still held where the system renames open files) and closes the take.
    // Returns what `rename` returns.
    QString finish(const std::function<QString()>& rename);

    // What keeps a run from reading (or writing) the file at `path`, in
    // plain words; empty when nothing does.
    static QString accessProblem(const QString& path, bool writing);

private:
    QFile take;
    QDateTime recorded;
};

#endif
