#include "forgetfulcard.h"

ForgetfulCard::ForgetfulCard(const QByteArray& contents, qint64 forgetFrom)
    : forgetFrom(forgetFrom)
{
    setData(contents);
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

qint64 ForgetfulCard::writeData(const char* data, qint64 length)
{
    const qint64 at = pos();
    if (at < forgetFrom)
        return QBuffer::writeData(data, length);
    // Past the old end the device cannot even move there; it still says yes.
    if (at < size())
        seek(qMin(at + length, size()));
    return length;
}
