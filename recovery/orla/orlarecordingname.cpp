#include "orlarecordingname.h"

#include <QFileDevice>

QByteArray orlaRecordingName(const QIODevice* device)
{
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    return file ? file->fileName().toUtf8() : QByteArray();
}
