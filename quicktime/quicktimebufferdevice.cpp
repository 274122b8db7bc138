#include "quicktimebufferdevice.h"

#include <QFileDevice>
#include <QtDebug>

#include <cstring>

QuickTimeBufferDevice::QuickTimeBufferDevice(QIODevice* target, int bufferSize)
    : buffer(bufferSize, '\0')
    , bufferSize(bufferSize)
    , fill(0)
    , target(target)
{
}

QuickTimeBufferDevice::~QuickTimeBufferDevice()
{
    flush();
}

qint64 QuickTimeBufferDevice::pos() const
{
    return target->pos() + qMax(fill, 0);
}

void QuickTimeBufferDevice::flush()
{
    if (fill <= 0)
        return;
    if (writeToTarget(fill, "*** QuickTime***BufferDevice encountered HDD error, dumping subsequent writes (%d)"))
        fill = 0;
}

char* QuickTimeBufferDevice::directBuffer()
{
    return buffer.data();
}

void QuickTimeBufferDevice::commitDirect(int bytes)
{
    if (fill < 0)
        return;
    fill += bytes;
    flush();
}

qint64 QuickTimeBufferDevice::readData(char*, qint64)
{
    return -1;
}

qint64 QuickTimeBufferDevice::writeData(const char* data, qint64 len)
{
    if (fill < 0)
        return -1;
    qint64 done = 0;
    while (done < len) {
        const int chunk = int(qMin<qint64>(bufferSize - fill, len - done));
        std::memcpy(buffer.data() + fill, data + done, size_t(chunk));
        fill += chunk;
        done += chunk;
        if (fill == bufferSize) {
            fill = 0;
            if (!writeToTarget(bufferSize, "!!! QuickTimeBufferDevice encountered HDD error, dumping subsequent writes (%d)"))
                return -1;
        }
    }
    return len;
}

bool QuickTimeBufferDevice::writeToTarget(int bytes, const char* failureMessage)
{
    // A short write is a failed write too: a full disk takes part of a block.
    bool written = target->write(buffer.constData(), bytes) == bytes;
    // A file device may keep a small tail in its own buffer; push it through
    // now so that its failure is seen here, not lost at close.
    if (written) {
        if (QFileDevice* fileDevice = qobject_cast<QFileDevice*>(target))
            written = fileDevice->flush();
    }
    if (written)
        return true;
    qDebug(failureMessage, bytes);
    qDebug("%s", qUtf8Printable(target->errorString()));
    fill = -1;
    return false;
}

