#include "storedbytes.h"

#include <QFile>

QByteArray storedBytes(QIODevice* device, qint64 offset, qint64 length)
{
    if (!device)
        return QByteArray();
    if (const QFileDevice* file = qobject_cast<const QFileDevice*>(device)) {
        QFile own(file->fileName());
        if (!own.open(QIODevice::ReadOnly) || !own.seek(offset))
            return QByteArray();
        return own.read(length);
    }
    if (!device->seek(offset))
        return QByteArray();
    return device->read(length);
}
