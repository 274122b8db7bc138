#include "veskreport.h"

#include <QFileDevice>
#include <QtDebug>

QByteArray VeskReport::recordingName(const QIODevice* device)
{
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    return file ? file->fileName().toUtf8() : QByteArray();
}

void VeskReport::failure(const QByteArray& name, const char* reason)
{
    qDebug("********************* %s recovery failed, %s!\n", name.constData(), reason);
}

void VeskReport::writeFailure(const QIODevice* device)
{
    const QByteArray reason
        = QByteArrayLiteral("the repair could not be written (") + device->errorString().toUtf8() + ')';
    failure(recordingName(device), reason.constData());
}
