#ifndef FRAMEMAP_H
#define FRAMEMAP_H

#include "quicktimeentrysource.h"

#include <QtGlobal>

#include <limits>

class QIODevice;

// The recorder's index of a video take: one 16-bit little-endian entry per
// recorded item, 2 bits of kind and 14 bits of length in 512-byte blocks.
// The items lie back to back from the start of the media data, in the
// map's order; a zero entry ends the map. Kind 3 entries occupy their
// blocks but belong to no track. This is the only place that decodes them.
class FrameMap
{
public:
    enum Kind { AudioChunk = 0, VideoFrame = 1, TimecodeSample = 2, Unused = 3 };

    static constexpr quint32 capacity = 2736000;
    static constexpr qint64 byteSize = 2 * qint64(capacity);
    static constexpr quint32 blockSize = 512;
    static constexpr quint32 longestItem = 0x3FFF * blockSize;
    // Where the first item lies in every take of both families.
    static constexpr quint64 mediaStart = 0x538000;

    static int kindOf(quint16 entry) { return entry >> 14; }
    static quint32 lengthOf(quint16 entry) { return quint32(entry & 0x3FFF) * blockSize; }
    static quint16 entryFor(int kind, quint32 blocks) { return quint16((kind << 14) | (blocks & 0x3FFF)); }

    // The items counted by kind, up to the first zero entry or the capacity.
    struct Count
    {
        quint32 videoFrames = 0;
        quint32 audioChunks = 0;
        quint32 timecodeSamples = 0;
        // Entries walked, kind 3 included, and the bytes their items occupy.
        quint32 entries = 0;
        quint64 mediaBytes = 0;

        quint32 counted() const { return videoFrames + audioChunks + timecodeSamples; }
        quint64 end() const { return mediaStart + mediaBytes; }
    };

    // The chunks of one track: every `samplesPerChunk`-th item of its kind
    // opens a chunk at its offset plus `offset`; the first and the last chunk
    // can carry their own (a channel's place inside a shorter chunk), and the
    // last one wins when they coincide.
    struct Chunking
    {
        quint32 samplesPerChunk = 1;
        quint32 chunkCount = 0;
        quint64 offset = 0;
        quint64 lastChunkOffset = 0;
        quint64 firstChunkOffset = 0;
    };

    // A map in `buffer` (byteSize bytes, lent by the caller; null reads as
    // empty).
    explicit FrameMap(quint8* buffer = nullptr);

    bool isValid() const { return bytes != nullptr; }
    const quint8* data() const { return bytes; }
    bool read(QIODevice* device, qint64 offset);
    quint16 entry(quint32 index) const { return quint16(bytes[2 * index] | (bytes[2 * index + 1] << 8)); }
    void setEntry(quint32 index, quint16 value);

    // Everything the map lists (`listed`), and the longest run of items from
    // the first that end by `availableEnd` (`whole`), in one walk.
    void count(quint64 availableEnd, Count& listed, Count& whole) const;
    Count whole(quint64 availableEnd = std::numeric_limits<quint64>::max()) const;

    // How far into the map the counted items of `counted` (a count the map
    // was walked for) reach, kind 3 entries among them included: the limit
    // of the table walks. `end` receives where the item after them starts.
    quint32 span(const Count& counted, quint64* end = nullptr) const;

    // Table sources over the entries before `limit`: the lengths of the
    // items of one kind, the chunk offsets of one track, and the raw entries
    // (the vendor atom's copy).
    QuickTimeEntrySourcePointer sizes(Kind kind, quint32 limit) const;
    QuickTimeEntrySourcePointer chunkOffsets(Kind kind, quint32 limit, const Chunking& chunking) const;
    QuickTimeEntrySourcePointer rawEntries(quint32 limit) const;

    // Calls visit(offset, length) for each entry of `kind` before `limit`,
    // in order, until it returns false.
    template <class Visit>
    void forEachOf(Kind kind, quint32 limit, Visit&& visit) const
    {
        quint64 position = mediaStart;
        for (quint32 i = 0; bytes && i < limit && i < capacity; ++i) {
            const quint16 e = entry(i);
            if (kindOf(e) == kind && !visit(position, lengthOf(e)))
                return;
            position += lengthOf(e);
        }
    }

private:
    quint8* bytes;
};

#endif
