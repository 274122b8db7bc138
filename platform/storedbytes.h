#ifndef STOREDBYTES_H
#define STOREDBYTES_H

#include <QByteArray>

class QIODevice;

// The `length` bytes at `offset` of the file behind `device`, as the system
// holds them, read through a handle of its own: after a failed write the
// device may still keep the bytes it could not write, and every read through
// it would try that write again. A device that is not a file is read itself.
// Empty when they cannot be read.
QByteArray storedBytes(QIODevice* device, qint64 offset, qint64 length);

#endif
