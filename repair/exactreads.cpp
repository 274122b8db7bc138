#include "exactreads.h"

ExactReads::ExactReads(QIODevice* device)
{
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    if (file && !file->fileName().isEmpty()) {
        own.setFileName(file->fileName());
        if (own.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            source = &own;
    }
    if (!source)
        source = device;
}
