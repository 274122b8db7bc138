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

// A take as the writer laid it out, and what its repair must show.
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
    QList<quint16> frameMap;    // the entry of every item in the media, listed or not (before frame map pokes)
    QList<PlacedItem> items;    // in file order

    // What a player should find in the repaired movie, counting only the
    // items whose bytes all reached the file.
    QStringList expectedFrameMd5;
    QList<QByteArray> expectedChannelPcm; // one mono little-endian stream per channel
    qint64 expectedSamplesPerChannel = 0;
    // The start timecode as ffprobe prints it ("HH:MM:SS:FF", "HH:MM:SS;FF" for
    // drop frame) in a movie timed from the take's rate. A newer-family take
    // without a timecode sample in its map has no sample to show it from.
    QString expectedTimecode;

    // File offsets of the items of one kind, in order.
    QList<qint64> offsetsOf(ItemKind kind) const;
};
