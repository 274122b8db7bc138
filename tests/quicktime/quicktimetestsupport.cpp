#include "quicktimetestsupport.h"

#include "quicktimebufferdevice.h"

#include <QDataStream>
#include <QTest>
#include <QtEndian>

Bytes& Bytes::u8(quint32 value)
{
    data.append(char(value));
    return *this;
}

Bytes& Bytes::u16(quint32 value)
{
    char out[2];
    qToBigEndian(quint16(value), out);
    data.append(out, 2);
    return *this;
}

Bytes& Bytes::u32(quint32 value)
{
    char out[4];
    qToBigEndian(value, out);
    data.append(out, 4);
    return *this;
}

Bytes& Bytes::u64(quint64 value)
{
    char out[8];
    qToBigEndian(value, out);
    data.append(out, 8);
    return *this;
}

Bytes& Bytes::text(const char* characters)
{
    data.append(characters);
    return *this;
}

Bytes& Bytes::zeros(int count)
{
    data.append(QByteArray(count, '\0'));
    return *this;
}

Bytes& Bytes::raw(const QByteArray& bytes)
{
    data.append(bytes);
    return *this;
}

TestMovie::TestMovie()
{
    device.open(QIODevice::ReadWrite);
#if QTLIB_VARIANT_TOLVAN
    file = std::make_unique<QuickTimeFile>(&device);
    file->frameMap = new quint8[QuickTimeFile::frameMapSize]();
#else
    lentFrameMap.assign(QuickTimeFile::frameMapSize, 0);
    file = std::make_unique<QuickTimeFile>(&device, lentFrameMap.data());
#endif
}

TestMovie::~TestMovie() = default;

void TestMovie::setFrameMap(const QList<quint16>& entries)
{
    file->videoFrameCount = 0;
    file->audioChunkCount = 0;
    file->timecodeSampleCount = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        qToLittleEndian(entries.at(i), file->frameMap + 2 * i);
        switch (entries.at(i) >> 14) {
        case QuickTimeFile::AudioChunk: ++file->audioChunkCount; break;
        case QuickTimeFile::VideoFrame: ++file->videoFrameCount; break;
        case QuickTimeFile::TimecodeSample: ++file->timecodeSampleCount; break;
        default: break;
        }
    }
}

QByteArray written(QuickTimeAtom& atom)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    atom.write(stream);
    return bytes;
}

QByteArray writtenBuffered(QuickTimeAtom& atom, int bufferSize)
{
    QByteArray bytes;
    QBuffer target(&bytes);
    target.open(QIODevice::WriteOnly);
    {
        QuickTimeBufferDevice device(&target, bufferSize);
        device.open(QIODevice::WriteOnly);
        QDataStream stream(&device);
        atom.write(stream);
    }
    return bytes;
}

DebugLines* DebugLines::current = nullptr;

DebugLines::DebugLines()
{
    current = this;
    previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        current->lines.append(text);
    });
}

DebugLines::~DebugLines()
{
    qInstallMessageHandler(previous);
    current = nullptr;
}

RecordingDevice::RecordingDevice()
{
    open(QIODevice::WriteOnly);
}

qint64 RecordingDevice::writeData(const char* bytes, qint64 length)
{
    writes.append(length);
    if (failAt >= 0 && writes.size() > failAt) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    const qint64 accepted = qMax<qint64>(0, length - shortBy);
    data.append(bytes, accepted);
    return accepted;
}

bool sameBytes(const QByteArray& actual, const QByteArray& expected, const char* file, int line)
{
    if (actual == expected)
        return true;
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual.at(at) == expected.at(at))
        ++at;
    const qsizetype from = qMax<qsizetype>(0, at - 8);
    const QByteArray message = QStringLiteral("Bytes differ at offset %1 (sizes %2 and %3)\n   Actual   from %4: %5\n   Expected from %4: %6")
                                   .arg(at).arg(actual.size()).arg(expected.size()).arg(from)
                                   .arg(QString::fromLatin1(actual.mid(from, 24).toHex(' ')))
                                   .arg(QString::fromLatin1(expected.mid(from, 24).toHex(' ')))
                                   .toLocal8Bit();
    QTest::qFail(message.constData(), file, line);
    return false;
}
