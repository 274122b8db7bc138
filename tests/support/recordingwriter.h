#pragma once

#include "takedescription.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One item of the media as the writer placed it.
struct PlacedItem
{
    ItemKind kind = ItemKind::Unknown;
    int index = 0;              // counted within its kind: frame 0, 1, ...; chunk 0, 1, ...
    quint16 entry = 0;          // its frame map entry
    qint64 offset = 0;          // file offset of its first byte
    qint64 payloadBytes = 0;    // frame, chunk or timecode bytes, without padding
    qint64 paddedBytes = 0;     // whole 512-byte blocks, as the map lists it
    qint64 writtenBytes = 0;    // bytes that reached the file (fewer for a torn item)
    quint32 samplesPerChannel = 0; // audio chunks only

    bool complete() const { return writtenBytes == paddedBytes; }
};

// What a test needs to check the repair of a written take.
struct WrittenTake
{
    bool ok = false;
    QString error;
    QString path;
    qint64 fileSize = 0;

    // The recorded media on disk, [mediaStart, mediaEnd): every item byte that
    // reached the file, padding included. A repair must leave it as it is;
    // mediaSha256 is its digest as written.
    qint64 mediaStart = 0;
    qint64 mediaEnd = 0;
    QByteArray mediaSha256;

    qint64 mapEnd = 0;          // where the items end according to the frame map
    quint64 recordedEnd = 0;    // the value written into the settings block
    QList<quint16> frameMap;    // the entries as laid out (before frame map pokes)
    QList<PlacedItem> items;    // in file order

    // What a player should find in the repaired movie, counting only the
    // items whose bytes all reached the file.
    QStringList expectedFrameMd5;
    QList<QByteArray> expectedChannelPcm; // one mono little-endian stream per channel
    qint64 expectedSamplesPerChannel = 0;
    QString expectedTimecode;   // as ffprobe prints it, "HH:MM:SS:FF" or "HH:MM:SS;FF"

    // File offsets of the items of one kind, in order.
    QList<qint64> offsetsOf(ItemKind kind) const;
};

// Writes an unfinished video take exactly as a recorder leaves it: the head
// of RecordingHead, then the items back to back from 5,472,256, each padded
// with zeros to whole 512-byte blocks: video frames as given, audio chunks of
// TestPcm samples (channel k at k x bytes per sample x samples in the chunk),
// timecode samples (one block, the start timecode as a big-endian frame
// number in the first four bytes), Unknown items (one block of 0xEE). Then
// the trailing bytes, then the byte pokes.
class RecordingWriter
{
public:
    static WrittenTake write(const TakeDescription& take, const QString& path);
};
