#ifndef QUICKTIMETABLESTREAM_H
#define QUICKTIMETABLESTREAM_H

#include "variant.h"

#include <QByteArray>
#include <QtEndian>

class QDataStream;

QTLIB_BEGIN_NAMESPACE

class QuickTimeBufferDevice;

// Streams a table of big-endian entries into a QDataStream without holding
// the table: entries are generated batch by batch straight into the buffer of
// the stream's QuickTimeBufferDevice (or a small batch of its own for any
// other device), so the bytes never depend on where batches end.
class QuickTimeTableStream
{
public:
    explicit QuickTimeTableStream(QDataStream& stream);

    // Writes `count` entries of `width` bytes (2, 4 or 8), taking each from
    // next(quint64&). When next() runs dry first, the table is incomplete:
    // that is logged and the stream is marked failed, so the movie is never
    // reported as written. Also false when the output failed.
    template <class Next>
    bool write(quint64 count, int width, Next&& next, const char* tableName)
    {
        const int perBatch = batchBytes() / width;
        quint64 written = 0;
        while (written < count) {
            if (outputFailed())
                return false;
            char* out = batch();
            const int wanted = int(qMin<quint64>(count - written, quint64(perBatch)));
            int filled = 0;
            quint64 value = 0;
            while (filled < wanted && next(value)) {
                store(out + filled * width, value, width);
                ++filled;
            }
            commit(filled * width);
            written += quint64(filled);
            if (filled < wanted) {
                reportIncomplete(tableName, count, written);
                return false;
            }
        }
        return !outputFailed();
    }

    // Position of the next byte written, as the output device sees it.
    qint64 position() const;

private:
    static void store(char* out, quint64 value, int width)
    {
        switch (width) {
        case 2: qToBigEndian(quint16(value), out); break;
        case 4: qToBigEndian(quint32(value), out); break;
        default: qToBigEndian(value, out); break;
        }
    }
    char* batch();
    int batchBytes() const;
    void commit(int bytes);
    bool outputFailed() const;
    void reportIncomplete(const char* tableName, quint64 count, quint64 written);

    QDataStream& stream;
    QuickTimeBufferDevice* device;
    QByteArray ownBatch;
};

QTLIB_END_NAMESPACE

#endif
