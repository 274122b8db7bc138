#include "quicktimefieldreader.h"

#include <QDataStream>
#include <QIODevice>

#include <limits>

QuickTimeFieldReader::QuickTimeFieldReader(QDataStream& stream, quint64& remaining)
    : stream(stream)
    , remaining(remaining)
{
}

bool QuickTimeFieldReader::take(quint64 length)
{
    if (failed || length > remaining || stream.status() != QDataStream::Ok) {
        failed = true;
        return false;
    }
    remaining -= length;
    return true;
}

quint8 QuickTimeFieldReader::u8()
{
    quint8 value = 0;
    if (take(1))
        stream >> value;
    return value;
}

quint16 QuickTimeFieldReader::u16()
{
    quint16 value = 0;
    if (take(2))
        stream >> value;
    return value;
}

quint32 QuickTimeFieldReader::u32()
{
    quint32 value = 0;
    if (take(4))
        stream >> value;
    return value;
}

quint64 QuickTimeFieldReader::u64()
{
    quint64 value = 0;
    if (take(8))
        stream >> value;
    return value;
}

QByteArray QuickTimeFieldReader::bytes(quint64 length)
{
    if (length > quint64(std::numeric_limits<int>::max()))
        failed = true;
    if (!take(length))
        return QByteArray();
    // The budget was checked against the enclosing atom, whose size was
    // checked against the stream, so this allocation is bounded by real data.
    QByteArray data(qsizetype(length), '\0');
    if (length > 0 && stream.readRawData(data.data(), int(length)) != int(length)) {
        failed = true;
        return QByteArray();
    }
    return data;
}

bool QuickTimeFieldReader::skip(quint64 length)
{
    if (!take(length))
        return false;
    QIODevice* device = stream.device();
    if (length > 0 && (!device || device->skip(qint64(length)) != qint64(length)))
        failed = true;
    return !failed;
}

bool QuickTimeFieldReader::ok() const
{
    return !failed && stream.status() == QDataStream::Ok;
}

