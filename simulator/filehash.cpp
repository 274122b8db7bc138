#include "filehash.h"

#include <QCryptographicHash>
#include <QFile>

QByteArray FileHash::sha256(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (length < 0)
        length = file.size() - offset;
    if (offset < 0 || length < 0 || offset + length > file.size() || !file.seek(offset))
        return {};

    QCryptographicHash hash(QCryptographicHash::Sha256);
    constexpr qint64 chunk = 1 << 20;
    while (length > 0) {
        const QByteArray bytes = file.read(qMin(chunk, length));
        if (bytes.isEmpty())
            return {};
        hash.addData(bytes);
        length -= bytes.size();
    }
    return hash.result();
}

QByteArray FileHash::sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}
