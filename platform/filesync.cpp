#include "filesync.h"

#include <QFileDevice>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

bool syncToDevice(QIODevice* device)
{
    QFileDevice* file = qobject_cast<QFileDevice*>(device);
    if (!file)
        return true;
    if (!file->flush())
        return false;
    const int handle = file->handle();
    if (handle < 0)
        return false;
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(handle))) != 0;
#else
    return fsync(handle) == 0;
#endif
}
