#ifndef ORLARECORDINGNAME_H
#define ORLARECORDINGNAME_H

#include <QByteArray>

class QIODevice;

// The path of the recording behind a device, in UTF-8: the report lines
// print it through qDebug's %s, which reads UTF-8. Empty for a device that
// is not a file.
QByteArray orlaRecordingName(const QIODevice* device);

#endif
