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

QString writeProblem(const QIODevice* device)
{
    // Qt tells a full device apart; a failed sync carries no reason at all.
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    if (file && file->error() == QFileDevice::ResourceError)
        return QStringLiteral("the card is full");
    if (file && file->error() == QFileDevice::NoError)
        return QStringLiteral("the card did not confirm the write");
    return QStringLiteral("the card refused a write: ") + device->errorString();
}

void writeFailure(const QIODevice* device)
{
    const QByteArray reason = QByteArrayLiteral("the repair could not be written (") + writeProblem(device).toUtf8() + ')';
    failure(takeName(device), reason.constData());
}

void deviceError(const QIODevice* device)
{
    qDebug("%s", qUtf8Printable(device->errorString()));
}

} // namespace RepairReport
