#pragma once

#include <QBuffer>
#include <QList>
#include <QPair>

// An in-memory file that notes every byte range read from or written to it,
// so a test can prove that a repair wrote exactly its fields and never
// looked at the samples. Opened unbuffered, so each read is the caller's own.
class AccessRecordingBuffer : public QBuffer
{
public:
    using Range = QPair<qint64, qint64>; // offset, length

    explicit AccessRecordingBuffer(const QByteArray& contents)
    {
        setData(contents);
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }

    QList<Range> reads;
    QList<Range> writes;

    // The end of the furthest byte ever read.
    qint64 readExtent() const
    {
        qint64 extent = 0;
        for (const Range& range : reads)
            extent = qMax(extent, range.first + range.second);
        return extent;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 at = pos();
        const qint64 read = QBuffer::readData(data, maxSize);
        if (read > 0)
            reads.append({ at, read });
        return read;
    }
    qint64 writeData(const char* data, qint64 maxSize) override
    {
        writes.append({ pos(), maxSize });
        return QBuffer::writeData(data, maxSize);
    }
};
