#ifndef FILESYNC_H
#define FILESYNC_H

class QIODevice;

// Pushes everything written to a file through Qt's buffer and the operating
// system's cache onto the device. A repair only counts as done once this
// succeeded: a pulled card must not lose a write we already reported.
// Devices that are not files (memory buffers in tests) have nothing to sync.
bool syncToDevice(QIODevice* device);

#endif
