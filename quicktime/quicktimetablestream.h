#ifndef QUICKTIMETABLESTREAM_H
#define QUICKTIMETABLESTREAM_H

#include <QByteArray>

class QDataStream;
class QuickTimeBufferDevice;
class QuickTimeEntrySource;

// Streams a table of big-endian entries into a QDataStream without holding
// the table: entries are drawn from their source batch by batch straight
// into the buffer of the stream's QuickTimeBufferDevice (or a small batch
// of its own for any other device), so the bytes never depend on where
// batches end.
class QuickTimeTableStream
{
public:
    explicit QuickTimeTableStream(QDataStream& stream);

    // Writes `count` entries of `width` bytes (2, 4 or 8) from the start of
    // `source`. When the source runs dry first, or gives a value the width
    // cannot hold, the table is incomplete: that is logged and the stream is
    // marked failed, so the movie is never reported as written. Also false
    // when the output failed.
    bool write(quint64 count, int width, QuickTimeEntrySource* source, const char* tableName);

    // Position of the next byte written, as the output device sees it.
    qint64 position() const;

private:
    char* batch();
    int batchBytes() const;
    void commit(int bytes);
    bool outputFailed() const;
    void reportIncomplete(const char* tableName, quint64 count, quint64 written);

    QDataStream& stream;
    QuickTimeBufferDevice* device;
    QByteArray ownBatch;
};

#endif
