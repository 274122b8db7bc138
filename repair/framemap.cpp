#include "framemap.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// The table sources walk the entries [0, limit): a limit that ends after
// the last counted entry (FrameMap::span) covers the counted entries and
// the kind 3 entries among them, whose blocks still move the offset.
//
// The walk is the hot loop of a repair: a full map is walked once for every
// table, and the entries go straight into the output. It takes four entries
// a step, works out their offsets from one another before it stores any,
// and keeps its state in locals, so that the stores into the table do not
// make the compiler reload it. `store(index, offset, entry)` stores the
// item found as the index-th value and returns 1, or skips it (0), or finds
// that its value does not fit (-1), which ends the walk.
template <class Store>
quint32 storeItemsOf(int kind, const quint8*& cursor, const quint8* end, quint64& position, quint32 wanted,
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
        const quint64 at1 = at + FrameMap::lengthOf(e0);
        const quint64 at2 = at1 + FrameMap::lengthOf(e1);
        const quint64 at3 = at2 + FrameMap::lengthOf(e2);
        if ((FrameMap::kindOf(e0) == kind && (result = store(stored, at, e0)) < 0)
            || (stored += quint32(result), result = 0, FrameMap::kindOf(e1) == kind && (result = store(stored, at1, e1)) < 0)
            || (stored += quint32(result), result = 0, FrameMap::kindOf(e2) == kind && (result = store(stored, at2, e2)) < 0)
            || (stored += quint32(result), result = 0, FrameMap::kindOf(e3) == kind && (result = store(stored, at3, e3)) < 0))
            return stored;
        stored += quint32(result);
        result = 0;
        entry += 8;
        at = at3 + FrameMap::lengthOf(e3);
    }
    while (entry < end && stored < wanted) {
        const quint16 e = qFromLittleEndian<quint16>(entry);
        if (FrameMap::kindOf(e) == kind) {
            result = store(stored, at, e);
            if (result < 0)
                return stored;
            stored += quint32(result);
        }
        entry += 2;
        at += FrameMap::lengthOf(e);
    }
    cursor = entry;
    position = at;
    return stored;
}

// Calls walk with a value of the field type of the width asked for.
template <class Walk>
quint32 forWidth(int width, Walk&& walk)
{
    switch (width) {
    case 2: return walk(quint16());
    case 4: return walk(quint32());
    default: return walk(quint64());
    }
}

class SizeSource : public QuickTimeEntrySource
{
public:
    SizeSource(const FrameMap& map, int kind, quint32 limit)
        : map(map)
        , kind(kind)
        , end(map.data() + 2 * quint64(map.isValid() ? limit : 0))
    {
    }

    void rewind() override
    {
        cursor = map.data();
        position = FrameMap::mediaStart;
    }

    quint32 write(char* out, quint32 count, int width) override
    {
        return forWidth(width, [&](auto field) {
            using Field = decltype(field);
            return storeItemsOf(kind, cursor, end, position, count, [out](quint32 index, quint64, quint16 entry) {
                return store<Field>(out, index, FrameMap::lengthOf(entry)) ? 1 : -1;
            });
        });
    }

private:
    FrameMap map;
    int kind;
    const quint8* end;
    const quint8* cursor = map.data();
    quint64 position = FrameMap::mediaStart;
};

class ChunkOffsetSource : public QuickTimeEntrySource
{
public:
    ChunkOffsetSource(const FrameMap& map, int kind, quint32 limit, const FrameMap::Chunking& chunking)
        : map(map)
        , kind(kind)
        , end(map.data() + 2 * quint64(map.isValid() ? limit : 0))
        , chunking(chunking)
    {
    }

    void rewind() override
    {
        cursor = map.data();
        running = FrameMap::mediaStart;
        chunkIndex = 0;
        countdown = 1;
    }

    quint32 write(char* out, quint32 count, int width) override
    {
        const quint32 wanted = qMin(count, chunking.chunkCount - qMin(chunkIndex, chunking.chunkCount));
        const quint32 stored = forWidth(width, [&](auto field) {
            using Field = decltype(field);
            const quint64 offset = chunking.offset;
            quint32 filled = 0;
            if (chunking.samplesPerChunk == 1) {
                filled = storeItemsOf(kind, cursor, end, running, wanted, [out, offset](quint32 index, quint64 position, quint16) {
                    return store<Field>(out, index, position + offset) ? 1 : -1;
                });
            } else {
                // Every samplesPerChunk-th item of the kind, from the first, opens a chunk.
                quint32& left = countdown;
                const quint32 perChunk = chunking.samplesPerChunk;
                filled = storeItemsOf(kind, cursor, end, running, wanted,
                    [out, offset, &left, perChunk](quint32 index, quint64 position, quint16) {
                        if (--left != 0)
                            return 0;
                        left = perChunk;
                        return store<Field>(out, index, position + offset) ? 1 : -1;
                    });
            }
            // The first and the last chunk carry their own place; the last
            // one wins when they coincide.
            const quint32 last = chunking.chunkCount - 1;
            if (chunkIndex == 0 && filled > 0) {
                const quint64 first = last == 0 && chunking.lastChunkOffset != 0 ? chunking.lastChunkOffset
                                                                                 : chunking.firstChunkOffset;
                if (first != 0 && !replace<Field>(out, 0, first))
                    filled = 0;
            }
            if (last != 0 && last >= chunkIndex && last - chunkIndex < filled && chunking.lastChunkOffset != 0
                && !replace<Field>(out, last - chunkIndex, chunking.lastChunkOffset))
                filled = last - chunkIndex;
            return filled;
        });
        chunkIndex += stored;
        return stored;
    }

private:
    // Gives the chunk at `index` of the batch `offset` instead of the full
    // chunks' one; false when the value then does not fit.
    template <class Field>
    bool replace(char* out, quint32 index, quint64 offset) const
    {
        const quint64 position = qFromBigEndian<Field>(out + quint64(index) * sizeof(Field)) - chunking.offset;
        return store<Field>(out, index, position + offset);
    }

    FrameMap map;
    int kind;
    const quint8* end;
    FrameMap::Chunking chunking;
    const quint8* cursor = map.data();
    quint64 running = FrameMap::mediaStart;
    quint32 chunkIndex = 0;
    quint32 countdown = 1;
};

class RawEntrySource : public QuickTimeEntrySource
{
public:
    RawEntrySource(const FrameMap& map, quint32 entries)
        : map(map)
        , entries(map.isValid() ? qMin(entries, FrameMap::capacity) : 0)
    {
    }

    void rewind() override { index = 0; }
    quint32 write(char* out, quint32 count, int width) override
    {
        return forWidth(width, [&](auto field) {
            using Field = decltype(field);
            quint32 stored = 0;
            while (stored < count && index < entries)
                store<Field>(out, stored++, map.entry(index++));
            return stored;
        });
    }

private:
    FrameMap map;
    quint32 entries;
    quint32 index = 0;
};

} // namespace

FrameMap::FrameMap(quint8* buffer)
    : bytes(buffer)
{
}

bool FrameMap::read(QIODevice* device, qint64 offset)
{
    return bytes && device->seek(offset) && device->read(reinterpret_cast<char*>(bytes), byteSize) == byteSize;
}

void FrameMap::setEntry(quint32 index, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes + 2 * quint64(index));
}

void FrameMap::count(quint64 availableEnd, Count& listed, Count& whole) const
{
    // The whole items are those before the first item that ends past
    // availableEnd, so their counts are a snapshot taken there.
    Count counted;
    quint64 position = mediaStart;
    bool allWhole = true;
    whole = Count();
    for (; bytes && counted.entries < capacity; ++counted.entries) {
        const quint16 e = entry(counted.entries);
        if (e == 0)
            break; // the zero entry that ends the map
        const quint32 length = lengthOf(e);
        if (allWhole && position + length > availableEnd) {
            allWhole = false;
            whole = counted;
            whole.mediaBytes = position - mediaStart;
        }
        const int kind = kindOf(e);
        counted.videoFrames += kind == VideoFrame;
        counted.audioChunks += kind == AudioChunk;
        counted.timecodeSamples += kind == TimecodeSample;
        position += length;
    }
    counted.mediaBytes = position - mediaStart;
    listed = counted;
    if (allWhole)
        whole = counted;
}

FrameMap::Count FrameMap::whole(quint64 availableEnd) const
{
    Count listed;
    Count whole;
    count(availableEnd, listed, whole);
    return whole;
}

quint32 FrameMap::span(const Count& counted, quint64* end) const
{
    // The walked entries less the kind 3 ones after the last counted item.
    quint32 entries = counted.entries;
    quint64 position = counted.end();
    while (bytes && entries > 0 && kindOf(entry(entries - 1)) == Unused)
        position -= lengthOf(entry(--entries));
    if (end)
        *end = position;
    return entries;
}

QuickTimeEntrySourcePointer FrameMap::sizes(Kind kind, quint32 limit) const
{
    return std::make_unique<SizeSource>(*this, kind, limit);
}

QuickTimeEntrySourcePointer FrameMap::chunkOffsets(Kind kind, quint32 limit, const Chunking& chunking) const
{
    return std::make_unique<ChunkOffsetSource>(*this, kind, limit, chunking);
}

QuickTimeEntrySourcePointer FrameMap::rawEntries(quint32 entries) const
{
    return std::make_unique<RawEntrySource>(*this, entries);
}
