#ifndef QUICKTIMEBUFFERDEVICE_H
#define QUICKTIMEBUFFERDEVICE_H

#include "quicktimefourcc.h"

#include <QByteArray>
#include <QIODevice>

// Write-only device that collects everything in one buffer and hands it to
// the target only when full or flushed. After the first failed target write
// it drops everything, so a rebuild on a failing disk ends quickly.
class QuickTimeBufferDevice : public QIODevice
{
    Q_OBJECT

public:
    QuickTimeBufferDevice(QIODevice* target, int bufferSize);
    ~QuickTimeBufferDevice() override;

    // The logical position: the target's position plus what waits here.
    qint64 pos() const override;
    void flush();

    // Direct access for table writers: after flush() the whole buffer is
    // free; fill up to capacity() bytes from directBuffer() and commit them.
    char* directBuffer();
    int capacity() const { return bufferSize; }
    void commitDirect(int bytes);

    int pendingBytes() const { return fill; }
    bool hasFailed() const { return fill < 0; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 len) override;

private:
    bool writeToTarget(int bytes, const char* failureMessage);

    QByteArray buffer;
    int bufferSize;
    int fill; // bytes waiting; -1 once a target write failed
    QIODevice* target;
};

#endif
