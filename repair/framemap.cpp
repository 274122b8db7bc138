#include "framemap.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// The table sources walk the entries [0, limit): a limit that ends after
// the last counted entry (FrameMap::span) covers the counted entries and
// the kind 3 entries among them, whose blocks still move the offset.
//
// The walk is the hot loop of a repair: a full map is walked once for every
// table. It takes four entries a step, works out their offsets from one
// another before it stores any, and keeps its state in locals, so that the
// stores into the table do not make the compiler reload it.
template <class Store>
quint32 emitItemsOf(int kind, const quint8*& cursor, const quint8* end, quint64& position, quint32 wanted, Store&& store)
{
    const quint8* entry = cursor;
    quint64 at = position;
    quint32 emitted = 0;
    while (end - entry >= 8 && emitted + 4 <= wanted) {
        const quint16 e0 = qFromLittleEndian<quint16>(entry);
        const quint16 e1 = qFromLittleEndian<quint16>(entry + 2);
        const quint16 e2 = qFromLittleEndian<quint16>(entry + 4);
        const quint16 e3 = qFromLittleEndian<quint16>(entry + 6);
        entry += 8;
        const quint64 at1 = at + FrameMap::lengthOf(e0);
        const quint64 at2 = at1 + FrameMap::lengthOf(e1);
        const quint64 at3 = at2 + FrameMap::lengthOf(e2);
        if (FrameMap::kindOf(e0) == kind)
            store(emitted++, at, e0);
        if (FrameMap::kindOf(e1) == kind)
            store(emitted++, at1, e1);
        if (FrameMap::kindOf(e2) == kind)
            store(emitted++, at2, e2);
        if (FrameMap::kindOf(e3) == kind)
            store(emitted++, at3, e3);
        at = at3 + FrameMap::lengthOf(e3);
    }
    while (entry < end && emitted < wanted) {
        const quint16 e = qFromLittleEndian<quint16>(entry);
        entry += 2;
        if (FrameMap::kindOf(e) == kind)
            store(emitted++, at, e);
        at += FrameMap::lengthOf(e);
    }
    cursor = entry;
    position = at;
    return emitted;
}

class SizeSource : public QuickTimeEntrySource
{
public:
    SizeSource(const FrameMap& map, int kind, quint32 limit)
        : map(map)
        , kind(kind)
        , limit(map.isValid() ? limit : 0)
    {
    }

    void rewind() override
    {
        cursor = map.data();
        position = FrameMap::mediaStart;
    }
    quint32 next(quint64* values, quint32 count) override
    {
        return emitItemsOf(kind, cursor, map.data() + 2 * quint64(limit), position, count,
            [values](quint32 index, quint64, quint16 entry) { values[index] = FrameMap::lengthOf(entry); });
    }

private:
    FrameMap map;
    int kind;
    quint32 limit;
    const quint8* cursor = map.data();
    quint64 position = FrameMap::mediaStart;
};

class ChunkOffsetSource : public QuickTimeEntrySource
{
public:
    ChunkOffsetSource(const FrameMap& map, int kind, quint32 limit, const FrameMap::Chunking& chunking)
        : map(map)
        , kind(kind)
        , limit(map.isValid() ? limit : 0)
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

    quint32 next(quint64* values, quint32 count) override
    {
        const quint32 wanted = qMin(count, chunking.chunkCount - qMin(chunkIndex, chunking.chunkCount));
        const quint32 filled = chunking.samplesPerChunk == 1 ? everyItem(values, wanted) : everyNthItem(values, wanted);
        // The first and the last chunk carry their own place; the last one
        // wins when they coincide.
        const quint32 lastIndex = chunking.chunkCount - 1;
        if (chunkIndex == 0 && filled > 0) {
            if (lastIndex == 0 && chunking.lastChunkOffset != 0)
                values[0] += chunking.lastChunkOffset - chunking.offset;
            else if (chunking.firstChunkOffset != 0)
                values[0] += chunking.firstChunkOffset - chunking.offset;
        }
        if (lastIndex != 0 && lastIndex >= chunkIndex && lastIndex - chunkIndex < filled && chunking.lastChunkOffset != 0)
            values[lastIndex - chunkIndex] += chunking.lastChunkOffset - chunking.offset;
        chunkIndex += filled;
        return filled;
    }

private:
    // Every item of the kind opens a chunk.
    quint32 everyItem(quint64* values, quint32 wanted)
    {
        const quint64 offset = chunking.offset;
        return emitItemsOf(kind, cursor, end(), running, wanted,
            [values, offset](quint32 index, quint64 position, quint16) { values[index] = position + offset; });
    }

    // Every samplesPerChunk-th item of the kind, from the first, opens a chunk.
    quint32 everyNthItem(quint64* values, quint32 wanted)
    {
        quint32 filled = 0;
        quint64 position = 0;
        while (filled < wanted) {
            if (emitItemsOf(kind, cursor, end(), running, 1, [&](quint32, quint64 at, quint16) { position = at; }) == 0)
                break;
            if (--countdown != 0)
                continue;
            countdown = chunking.samplesPerChunk;
            values[filled++] = position + chunking.offset;
        }
        return filled;
    }

    const quint8* end() const { return map.data() + 2 * quint64(limit); }

    FrameMap map;
    int kind;
    quint32 limit;
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
    quint32 next(quint64* values, quint32 count) override
    {
        quint32 filled = 0;
        while (filled < count && index < entries)
            values[filled++] = map.entry(index++);
        return filled;
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
    // Items per kind; the whole ones are those before the first item that
    // ends past availableEnd, so their counts are a snapshot taken there.
    quint32 kinds[4] = {};
    quint64 position = mediaStart;
    quint32 entries = 0;
    bool allWhole = true;
    whole = Count();
    for (; bytes && entries < capacity; ++entries) {
        const quint16 e = entry(entries);
        if (e == 0)
            break; // the zero entry that ends the map
        const quint32 length = lengthOf(e);
        if (allWhole && position + length > availableEnd) {
            allWhole = false;
            whole = { kinds[VideoFrame], kinds[AudioChunk], kinds[TimecodeSample], entries, position - mediaStart };
        }
        ++kinds[kindOf(e)];
        position += length;
    }
    listed = { kinds[VideoFrame], kinds[AudioChunk], kinds[TimecodeSample], entries, position - mediaStart };
    if (allWhole)
        whole = listed;
}

FrameMap::Count FrameMap::whole(quint64 availableEnd) const
{
    Count listed;
    Count whole;
    count(availableEnd, listed, whole);
    return whole;
}

quint32 FrameMap::span(quint32 total, quint64* end) const
{
    quint32 cursor = 0;
    quint32 counted = 0;
    quint64 position = mediaStart;
    while (bytes && counted < total && cursor < capacity) {
        const quint16 e = entry(cursor++);
        counted += kindOf(e) != Unused;
        position += lengthOf(e);
    }
    if (end)
        *end = position;
    return cursor;
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
