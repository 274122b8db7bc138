#ifndef VESKREPORT_H
#define VESKREPORT_H

#include <QByteArray>

class QIODevice;

// The debug lines of a Vesk repair name the recording by its path in UTF-8,
// which is how qDebug's %s reads it.
namespace VeskReport {

// The path of the recording behind a device; empty for a device that is not a file.
QByteArray recordingName(const QIODevice* device);

// "********************* <name> recovery failed, <reason>!"
void failure(const QByteArray& name, const char* reason);

// The failure line of a write or sync that did not reach the device, with
// the device's own reason.
void writeFailure(const QIODevice* device);

} // namespace VeskReport

#endif
