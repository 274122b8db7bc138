#include "quicktimetablestream.h"

#include "quicktimebufferdevice.h"

#include <QDataStream>
#include <QtDebug>

QTLIB_BEGIN_NAMESPACE

namespace {
// Batch size when the stream does not write to a buffer device.
constexpr int ownBatchBytes = 65536;
}

QuickTimeTableStream::QuickTimeTableStream(QDataStream& stream)
    : stream(stream)
    , device(qobject_cast<QuickTimeBufferDevice*>(stream.device()))
{
    if (!device)
        ownBatch.resize(ownBatchBytes);
}

char* QuickTimeTableStream::batch()
{
    if (!device)
        return ownBatch.data();
    // Whatever the stream wrote before must go out first.
    device->flush();
    return device->directBuffer();
}

int QuickTimeTableStream::batchBytes() const
{
    return device ? device->capacity() : int(ownBatch.size());
}

void QuickTimeTableStream::commit(int bytes)
{
    if (device)
        device->commitDirect(bytes);
    else if (bytes > 0)
        stream.writeRawData(ownBatch.constData(), bytes);
}

bool QuickTimeTableStream::outputFailed() const
{
    return (device && device->hasFailed()) || stream.status() != QDataStream::Ok;
}

qint64 QuickTimeTableStream::position() const
{
    return stream.device() ? stream.device()->pos() : 0;
}

void QuickTimeTableStream::reportIncomplete(const char* tableName, quint64 count, quint64 written)
{
    qDebug("Sample table '%s' needs %llu entries, the frame map gives %llu", tableName,
        static_cast<unsigned long long>(count), static_cast<unsigned long long>(written));
    stream.setStatus(QDataStream::WriteFailed);
}

QTLIB_END_NAMESPACE
