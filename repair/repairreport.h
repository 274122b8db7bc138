#ifndef REPAIRREPORT_H
#define REPAIRREPORT_H

#include <QByteArray>
#include <QString>

class QIODevice;

// The lines a repair prints. They name the take by its path in UTF-8,
// which is how qDebug's %s reads it.
namespace RepairReport {

// The path of the take behind a device; empty for a device that is not a file.
QByteArray takeName(const QIODevice* device);
// "********************* <name> recovery failed, <reason>!"
void failure(const QByteArray& name, const char* reason);
// The failure line of a write or sync that did not reach the device, with
// the device's own reason.
void writeFailure(const QIODevice* device);
// Why the last write or sync on a device failed, in plain words.
QString writeProblem(const QIODevice* device);
// The device's own reason alone.
void deviceError(const QIODevice* device);

} // namespace RepairReport

#endif
