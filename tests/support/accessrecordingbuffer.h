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

    explicit AccessRecordingBuffer(const QByteArray& contents);

    QList<Range> reads;
    QList<Range> writes;

    // The end of the furthest byte ever read.
    qint64 readExtent() const;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;
};
