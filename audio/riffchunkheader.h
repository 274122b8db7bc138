#ifndef RIFFCHUNKHEADER_H
#define RIFFCHUNKHEADER_H

#include <QtGlobal>

// The 8 bytes in front of every RIFF chunk: a four-character id and the
// little-endian size of the payload that follows.
class RiffChunkHeader
{
public:
    static constexpr int byteCount = 8;

    explicit RiffChunkHeader(const char* bytes);

    bool hasId(const char* fourCC) const;
    quint32 payloadSize() const { return size; }

    // Whether a chunk header could stand at `position` of a file of
    // `fileSize` bytes: a readable id, and (except for data, whose size the
    // recorder leaves open) a payload that ends within the file. Used to tell
    // a pad byte from the start of the next chunk.
    bool isPlausibleAt(quint64 position, quint64 fileSize) const;

private:
    char id[4];
    quint32 size;
};

#endif
