#include "quicktimetablestream.h"

#include "quicktimebufferdevice.h"
#include "quicktimeentrysource.h"

#include <QDataStream>
#include <QtDebug>
#include <QtEndian>

namespace {

// Batch size when the stream does not write to a buffer device.
constexpr int ownBatchBytes = 65536;

} // namespace

QuickTimeTableStream::QuickTimeTableStream(QDataStream& stream)
    : stream(stream)
    , device(qobject_cast<QuickTimeBufferDevice*>(stream.device()))
{
    if (!device)
        ownBatch.resize(ownBatchBytes);
}

bool QuickTimeTableStream::write(quint64 count, int width, QuickTimeEntrySource* source, const char* tableName)
{
    if (source)
        source->rewind();
    const quint32 perBatch = quint32(batchBytes() / width);
    quint64 written = 0;
    while (written < count) {
        if (outputFailed())
            return false;
        char* out = batch();
        const quint32 wanted = quint32(qMin<quint64>(count - written, perBatch));
        quint32 filled = 0;
        while (source && filled < wanted) {
            const quint32 got = source->write(out + quint64(filled) * quint32(width), wanted - filled, width);
            if (got == 0)
                break;
            filled += got;
        }
        commit(int(filled) * width);
        written += filled;
        if (filled < wanted) {
            reportIncomplete(tableName, count, written);
            return false;
        }
    }
    return !outputFailed();
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
