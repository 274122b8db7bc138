#ifndef WRITELOGDEVICE_H
#define WRITELOGDEVICE_H

#include <QBuffer>
#include <QList>

// A recording in memory that logs every write and can refuse writes once
// `budget` bytes have been written, as a failing card does.
class WriteLogDevice : public QBuffer
{
public:
    struct Write
    {
        qint64 offset;
        qint64 length;
    };
    QList<Write> writes;
    qint64 budget = -1;

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    qint64 written = 0;
};

#endif
