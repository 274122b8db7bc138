#include "repairreport.h"

#include <QFileDevice>
#include <QtDebug>

namespace RepairReport {

QByteArray takeName(const QIODevice* device)
{
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    return file ? file->fileName().toUtf8() : QByteArray();
}

void failure(const QByteArray& name, const char* reason)
{
    qDebug("********************* %s recovery failed, %s!\n", name.constData(), reason);
}

void writeFailure(const QIODevice* device)
{
    const QByteArray reason
        = QByteArrayLiteral("the repair could not be written (") + device->errorString().toUtf8() + ')';
    failure(takeName(device), reason.constData());
}

void deviceError(const QIODevice* device)
{
    qDebug("%s", qUtf8Printable(device->errorString()));
}

} // namespace RepairReport
