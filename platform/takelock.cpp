#include "takelock.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#endif

#ifdef Q_OS_WIN

TakeLock lockTake(QFileDevice& file)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    // One byte far past any take's end: the lock keeps other runs out
    // without keeping them from reading the take's head.
    OVERLAPPED place = {};
    place.Offset = 0xFFFFFFFE;
    place.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place)
        && GetLastError() == ERROR_LOCK_VIOLATION)
        return TakeLock::HeldElsewhere;
    // An open take cannot be renamed here: it stands under its name.
    return QFileInfo::exists(file.fileName()) ? TakeLock::Taken : TakeLock::Gone;
}

bool renamesOpenTakes()
{
    return false;
}

#else

TakeLock lockTake(QFileDevice& file)
{
    const int handle = file.handle();
    // A file system without locks (some network shares) keeps nobody out,
    // as before there were locks.
    if (flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return TakeLock::HeldElsewhere;
    // The run that held it before may have renamed it meanwhile.
    struct stat open;
    struct stat named;
    if (fstat(handle, &open) != 0 || stat(QFile::encodeName(file.fileName()).constData(), &named) != 0
        || open.st_dev != named.st_dev || open.st_ino != named.st_ino)
        return TakeLock::Gone;
    return TakeLock::Taken;
}

bool renamesOpenTakes()
{
    return true;
}

#endif
