#include "quicktimetablestream.h"

#include "quicktimebufferdevice.h"
#include "quicktimeentrysource.h"

#include <QDataStream>
#include <QtDebug>
#include <QtEndian>

namespace {

// Batch size when the stream does not write to a buffer device.
constexpr int ownBatchBytes = 65536;
// Values drawn from a source at a time.
constexpr quint32 valuesPerDraw = 4096;

// Stores values big-endian, stopping before the first one the width cannot hold.
template <class Field>
quint32 store(char* out, const quint64* values, quint32 count)
{
    for (quint32 i = 0; i < count; ++i) {
        if (values[i] > std::numeric_limits<Field>::max())
            return i;
        qToBigEndian(Field(values[i]), out + i * sizeof(Field));
    }
    return count;
}

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
    quint64 values[valuesPerDraw];
    quint64 written = 0;
    while (written < count) {
        if (outputFailed())
            return false;
        char* out = batch();
        const quint32 wanted = quint32(qMin<quint64>(count - written, perBatch));
        quint32 filled = 0;
        while (filled < wanted) {
            const quint32 drawn = source ? source->next(values, qMin(wanted - filled, valuesPerDraw)) : 0;
            char* at = out + quint64(filled) * quint32(width);
            const quint32 stored = width == 2 ? store<quint16>(at, values, drawn)
                : width == 4                  ? store<quint32>(at, values, drawn)
                                              : store<quint64>(at, values, drawn);
            filled += stored;
            if (stored == 0 || stored < drawn)
                break;
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
