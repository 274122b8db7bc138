#ifndef AUDIOFILE_H
#define AUDIOFILE_H

#include <QtGlobal>

class QIODevice;
class RiffChunkHeader;

// An audio take in the Broadcast WAV layout (bext, iXML, fmt, data). While a
// take runs the recorder keeps the data size at 0 and appends samples; it
// writes the real sizes only when the take ends. AudioFile walks the chunks
// up to data and, if the data size still reads 0, writes the data and RIFF
// sizes from the file length. Those two fields are all it ever writes, and
// it never reads a sample.
//
// Use: parse(); if that gave 0, repairSizes(), which syncs each size it
// writes to the device: the RIFF size first, the data size last.
class AudioFile
{
public:
    // Result codes.
    static constexpr int Success = 0;
    static constexpr int NoFormatChunk = 8;        // data came before any fmt chunk
    static constexpr int IoFailure = 31;           // failed seek, short read or write, a walk that
                                                   // left the file, or a take that was not repaired
    static constexpr int UnsupportedFormat = 148;  // not RIFF/WAVE, or a format not handled
    static constexpr int FileTooLarge = 223;       // its sizes do not fit 32 bits; a debug line names the file

    // What the fmt chunk says the samples are; only PCM (and formats other
    // than MPEG audio) are repaired.
    enum FormatKind { Pcm, MpegLayer3, MpegLayer2, Unrecognised };

    // The device is open for reading and writing; it is not owned.
    explicit AudioFile(QIODevice* device);
    ~AudioFile();
    Q_DISABLE_COPY(AudioFile)

    // Reads the header and the chunks up to data. Nothing is written.
    int parse();
    // Writes the RIFF and data sizes when the data size reads 0; only after
    // parse() succeeded. `sizesWritten` tells whether a write was made (or
    // attempted), i.e. whether the file needs syncing.
    int repairSizes(bool* sizesWritten = nullptr);

    quint32 dataStart = 0;        // first sample byte; 0 unless parse() succeeded
    // What parse() read of the samples: the data chunk's size as it stands
    // (0 while the take is unfinished) and the format chunk's fields.
    quint32 dataSize = 0;
    quint16 channelCount = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    // Whether a bext chunk came before the data: the recorders write one.
    bool broadcastWave = false;
    FormatKind formatKind = Pcm;
    QIODevice* device;

private:
    quint64 nextChunkPos = 0;     // file position of the next chunk header during the walk

    int walkChunks();
    int readFormat(quint32 size);
    int seekTo(qint64 position);
    int readBytes(char* buffer, qint64 count);
    int writeBytes(const char* buffer, qint64 count);
    // Writes one little-endian size field and syncs it to the device.
    int writeSizeField(qint64 position, quint32 value);

    int parseHeaderAndChunks();
    int readChunkHeaderAt(quint64 position, char* bytes);
    quint64 positionAfterOddChunk(quint64 chunkEnd, quint64 fileSize);
    bool plausibleChunkHeaderAt(quint64 position, quint64 fileSize);
    int refuseTooLarge() const;
};

#endif
