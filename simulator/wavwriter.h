#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A chunk to put into a WAV file as it stands.
struct RiffChunk
{
    QByteArray fourCC;  // 4 bytes
    QByteArray payload;
};

// How the RIFF size field reads.
enum class RiffSizeMode {
    Zero,        // 0
    HeaderSize,  // what a recorder writes when it opens the take: the header chunks only (data start - 8)
    Finished,    // file length - 8, as after a clean stop
    Explicit     // WavDescription::riffSizeValue
};

// An audio take as a recorder writes it: "RIFF" "WAVE", then bext, iXML,
// the extra chunks, fmt and data, in that order.
struct WavDescription
{
    quint16 channels = 2;
    quint32 sampleRate = 48000;
    quint16 bitsPerSample = 24;       // 16, 24 or 32 (the samples are TonePcm's)
    qint64 samplesPerChannel = 4800;

    quint16 formatTag = 1;            // written into a 16-byte fmt chunk
    bool extensibleFormat = false;    // a 40-byte fmt chunk, tag 0xFFFE, PCM sub-format

    bool withBext = true;
    QByteArray bextDescription = "Ambrel test take";
    quint64 timeReference = 0;        // samples since midnight
    bool withIxml = true;
    int ixmlLength = -1;              // exact iXML payload length (an odd length makes an odd chunk); -1 natural

    QList<RiffChunk> extraChunks;     // between iXML and fmt
    bool padOddChunks = true;         // a pad byte after each odd-sized chunk, as RIFF asks

    quint32 dataSizeField = 0;        // 0 while the take runs
    bool finishedDataSize = false;    // write the real data size instead
    RiffSizeMode riffSize = RiffSizeMode::HeaderSize;
    quint32 riffSizeValue = 0;

    // Plants the bytes "data" and a zero size at this byte offset into the
    // samples, where a careless chunk walk would take it for a chunk header.
    qint64 strayDataPatternAt = -1;
};

// One chunk as the writer placed it.
struct PlacedChunk
{
    QByteArray fourCC;
    qint64 offset = 0;     // of its 8-byte header
    quint32 sizeField = 0; // what its size field reads
    qint64 payloadBytes = 0;
    bool padded = false;   // followed by a pad byte
};

struct WrittenWav
{
    bool ok = false;
    QString error;
    QString path;
    qint64 fileSize = 0;
    QList<PlacedChunk> chunks;       // in file order, data last
    qint64 dataStart = 0;            // first sample byte
    qint64 dataSizeOffset = 0;       // offset of the data size field
    quint32 riffSizeField = 0;

    QByteArray expectedSamples;      // the data payload, channels interleaved
    QList<QByteArray> expectedChannelPcm;
    QByteArray samplesSha256;        // of [dataStart, fileSize): a repair must not change it
};

// Writes Broadcast WAV takes, unfinished (data size 0) by default.
class WavWriter
{
public:
    static WrittenWav write(const WavDescription& description, const QString& path);

    // The iXML document the writer puts in, at its natural length.
    static QByteArray ixmlDocument();
};
