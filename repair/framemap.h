#ifndef FRAMEMAP_H
#define FRAMEMAP_H

#include "quicktimeentrysource.h"

#include <QtEndian>
#include <QtGlobal>

#include <limits>
#include <memory>
#include <vector>

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
    // The length of the item that holds `bytes`: whole blocks.
    static quint64 wholeBlocks(quint64 bytes) { return (bytes + blockSize - 1) / blockSize * blockSize; }

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

    // A map in `buffer` (byteSize bytes, lent by the caller, zero when first
    // lent; null reads as empty).
    explicit FrameMap(quint8* buffer = nullptr);

    bool isValid() const { return bytes != nullptr; }
    const quint8* data() const { return bytes; }
    // Reads the map at `offset` in blocks up to the one that holds its end
    // (the first zero entry), or whole when it fills its capacity. Past what
    // was read the buffer is zero, whatever an earlier map left in it.
    bool read(QIODevice* device, qint64 offset);
    static constexpr qint64 readBlock = 1 << 14;
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

    // Where the first `most` items of one kind before `limit` start, in
    // blocks from the media start: walked once for the chunk offset tables
    // of several tracks over the same items (one per sound channel). Null
    // when a start lies beyond 32 bits of blocks (2 TB of media).
    using ItemStarts = std::shared_ptr<const std::vector<quint32>>;
    ItemStarts itemStarts(Kind kind, quint32 limit, quint32 most) const;

    // Table sources over the entries before `limit`: the lengths of the
    // items of one kind, the chunk offsets of one track (from `starts`, when
    // given, for one item to a chunk), and the raw entries (the vendor
    // atom's copy).
    QuickTimeEntrySourcePointer sizes(Kind kind, quint32 limit) const;
    QuickTimeEntrySourcePointer chunkOffsets(Kind kind, quint32 limit, const Chunking& chunking,
        ItemStarts starts = nullptr) const;
    QuickTimeEntrySourcePointer rawEntries(quint32 limit) const;

    // Calls visit(offset, length) for each entry of `kind` before `limit`,
    // in order, until it returns false.
    template <class Visit>
    void forEachOf(Kind kind, quint32 limit, Visit&& visit) const
    {
        const quint8* cursor = bytes;
        quint64 position = mediaStart;
        storeItemsOf(kind, cursor, bytes + 2 * quint64(bytes ? qMin(limit, capacity) : 0), position,
            std::numeric_limits<quint32>::max(), [&visit](quint32, quint64 at, quint16 entry) {
                return visit(at, lengthOf(entry)) ? 1 : -1;
            });
    }

    // The walk is the hot loop of a repair: a full map is walked once for every
    // table, and the entries go straight into the output. It takes four entries
    // a step, works out their offsets from one another before it stores any,
    // and keeps its state in locals, so that the stores into the table do not
    // make the compiler reload it. `store(index, offset, entry)` stores the
    // item found as the index-th value and returns 1, or skips it (0), or finds
    // that its value does not fit (-1), which ends the walk.
    template <class Store>
    static quint32 storeItemsOf(int kind, const quint8*& cursor, const quint8* end, quint64& position, quint32 wanted,
        Store&& store)
    {
        const quint8* entry = cursor;
        quint64 at = position;
        quint32 stored = 0;
        int result = 0;
        while (end - entry >= 8 && stored + 4 <= wanted) {
            const quint16 e0 = qFromLittleEndian<quint16>(entry);
            const quint16 e1 = qFromLittleEndian<quint16>(entry + 2);
            const quint16 e2 = qFromLittleEndian<quint16>(entry + 4);
            const quint16 e3 = qFromLittleEndian<quint16>(entry + 6);
            const quint64 at1 = at + lengthOf(e0);
            const quint64 at2 = at1 + lengthOf(e1);
            const quint64 at3 = at2 + lengthOf(e2);
            if ((kindOf(e0) == kind && (result = store(stored, at, e0)) < 0)
                || (stored += quint32(result), result = 0, kindOf(e1) == kind && (result = store(stored, at1, e1)) < 0)
                || (stored += quint32(result), result = 0, kindOf(e2) == kind && (result = store(stored, at2, e2)) < 0)
                || (stored += quint32(result), result = 0, kindOf(e3) == kind && (result = store(stored, at3, e3)) < 0))
                return stored;
            stored += quint32(result);
            result = 0;
            entry += 8;
            at = at3 + lengthOf(e3);
        }
        while (entry < end && stored < wanted) {
            const quint16 e = qFromLittleEndian<quint16>(entry);
            if (kindOf(e) == kind) {
                result = store(stored, at, e);
                if (result < 0)
                    return stored;
                stored += quint32(result);
            }
            entry += 2;
            at += lengthOf(e);
        }
        cursor = entry;
        position = at;
        return stored;
    }

private:
    // Whether the whole entries in [from, from + length) hold a zero one.
    static bool holdsZeroEntry(const quint8* from, qint64 length);
    // Zeros what an earlier, longer map left from `from` on.
    void clearFrom(qint64 from);

    quint8* bytes;
};

#endif
