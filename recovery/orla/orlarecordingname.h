#ifndef ORLARECORDINGNAME_H
#define ORLARECORDINGNAME_H

#include <QByteArray>

class QIODevice;

// The path of the recording behind a device, in the local 8-bit encoding the
// report lines print it in; empty for a device that is not a file.
QByteArray orlaRecordingName(const QIODevice* device);

#endif
