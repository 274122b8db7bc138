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
    // The start timecode as ffprobe prints it ("HH:MM:SS:FF", "HH:MM:SS;FF" for
    // drop frame) in a movie timed from the take's rate. A newer-family take
    // without a timecode sample in its map has no sample to show it from.
    QString expectedTimecode;

    // File offsets of the items of one kind, in order.
    QList<qint64> offsetsOf(ItemKind kind) const;
};

// Writes an unfinished video take exactly as a recorder leaves it: the head
// of RecordingHead, then the items back to back from 5,472,256, each padded
// with zeros to whole 512-byte blocks: video frames as given, audio chunks of
// TestPcm samples (channel k at k x bytes per sample x samples in the chunk),
// timecode samples (one block, the start timecode as a big-endian frame
// number in the first four bytes), Unknown items (one block of 0xEE). Then
// the trailing bytes, then the byte pokes. An item of 0 bytes (an audio chunk
// of no channels) gets the entry 0, which ends the map.
//
// A typical end-to-end test:
//
//     const EncodedVideo video = TestVideo::encode(
//         VideoFormat::proRes(ProResProfile::Hq, 1280, 720, "24000/1001", 24));
//     TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
//     take.setVideo(video);
//     take.setAudio(2, 3, 20, 1000, 600);   // 2 channels, 3 bytes, 20 chunks, first/last counts
//     take.startTimecode = 86400;
//     const WrittenTake written = RecordingWriter::write(take, dir.filePath("A001.vlv"));
//     ... repair the file, then:
//     PlayerCheck::probe(movie): one "data" stream whose timecode is written.expectedTimecode,
//         one video stream of video.codecName with written.expectedFrameMd5.size() frames,
//         one mono audio stream per channel;
//     PlayerCheck::videoFrameMd5(movie) == written.expectedFrameMd5;
//     PlayerCheck::audioSamples(movie, k, 3) == written.expectedChannelPcm.at(k);
//     FileHash::sha256(movie, written.mediaStart, written.mediaEnd - written.mediaStart)
//         == written.mediaSha256.
class RecordingWriter
{
public:
    static WrittenTake write(const TakeDescription& take, const QString& path);
};
