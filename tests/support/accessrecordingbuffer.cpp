#include "accessrecordingbuffer.h"

AccessRecordingBuffer::AccessRecordingBuffer(const QByteArray& contents)
{
    setData(contents);
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

qint64 AccessRecordingBuffer::readExtent() const
{
    qint64 extent = 0;
    for (const Range& range : reads)
        extent = qMax(extent, range.first + range.second);
    return extent;
}

qint64 AccessRecordingBuffer::readData(char* data, qint64 maxSize)
{
    const qint64 at = pos();
    const qint64 read = QBuffer::readData(data, maxSize);
    if (read > 0)
        reads.append({ at, read });
    return read;
}

qint64 AccessRecordingBuffer::writeData(const char* data, qint64 maxSize)
{
    const qint64 at = pos();
    const qint64 written = QBuffer::writeData(data, maxSize);
    writes.append({ at, written });
    return written;
}
