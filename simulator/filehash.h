#pragma once

#include <QByteArray>
#include <QString>

// SHA-256 digests, used to prove that a repair left the recorded media alone.
class FileHash
{
public:
    // Digest of the bytes [offset, offset + length) of a file; length -1 means
    // up to the end. Empty when the file cannot be read or is shorter than the range.
    static QByteArray sha256(const QString& path, qint64 offset = 0, qint64 length = -1);

    static QByteArray sha256(const QByteArray& bytes);
};
