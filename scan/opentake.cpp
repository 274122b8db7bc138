#include "opentake.h"

#include "takelock.h"

#include <QFileInfo>

OpenTake::OpenTake(const QString& path)
    : take(path)
{
}

QString OpenTake::open()
{
    // ExistingOnly: a take that vanished since the listing must not be created empty.
    if (!take.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        const QString problem = accessProblem(take.fileName(), true);
        return problem.isEmpty() ? take.errorString() : problem;
    }
    recorded = take.fileTime(QFileDevice::FileModificationTime);
    switch (lockTake(take)) {
    case TakeLock::Taken:
        return QString();
    case TakeLock::HeldElsewhere:
        return tr("another run is finalizing it");
    case TakeLock::Gone:
        break;
    }
    return tr("it was moved or deleted meanwhile");
}

QString OpenTake::finish(const std::function<QString()>& rename)
{
    // Whatever the repair wrote (all of it, or what reached a full card),
    // the take keeps the recorder's time.
    if (take.isOpen() && recorded.isValid()) {
        take.flush();
        take.setFileTime(recorded, QFileDevice::FileModificationTime);
    }
    if (!renamesOpenTakes())
        take.close();
    const QString name = rename();
    take.close();
    return name;
}

QString OpenTake::accessProblem(const QString& path, bool writing)
{
    // A name in bytes this system cannot decode reached us with stand-ins
    // for them, and no longer names the file.
    if (path.contains(QChar::ReplacementCharacter))
        return tr("its name cannot be read");
    const QFileInfo info(path);
    if (!info.exists())
        return tr("it was moved or deleted meanwhile");
    if (!info.isFile())
        return tr("it is no longer a file");
    if (!info.isReadable())
        return tr("no permission to read it");
    if (writing && !info.isWritable())
        return tr("no permission to write it");
    return QString();
}
