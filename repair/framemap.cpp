#include "framemap.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// The table sources walk the entries [0, limit): a limit that ends after
// the last counted entry (FrameMap::span) covers the counted entries and
// the kind 3 entries among them, whose blocks still move the offset. Their
// loops carry no branch per entry but the loop's own, so a pass over a
// full map costs little more than reading it.

class SizeSource : public QuickTimeEntrySource
{
public:
    SizeSource(const FrameMap& map, int kind, quint32 limit)
        : map(map)
        , kind(kind)
        , limit(map.isValid() ? limit : 0)
    {
    }

    void rewind() override { cursor = 0; }
    quint32 next(quint64* values, quint32 count) override
    {
        // Locals, not members: the stores into `values` must not make the
        // compiler reload them on every entry.
        const quint8* entry = map.data() + 2 * quint64(cursor);
        const quint8* const end = map.data() + 2 * quint64(limit);
        quint32 filled = 0;
        while (entry < end && filled < count) {
            const quint16 value = quint16(entry[0] | (entry[1] << 8));
            entry += 2;
            values[filled] = FrameMap::lengthOf(value);
            filled += FrameMap::kindOf(value) == kind;
        }
        cursor = quint32((entry - map.data()) / 2);
        return filled;
    }

private:
    FrameMap map;
    int kind;
    quint32 limit;
    quint32 cursor = 0;
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
        cursor = 0;
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
        // Locals, not members: the stores into `values` must not make the
        // compiler reload them on every entry.
        const quint8* entry = map.data() + 2 * quint64(cursor);
        const quint8* const end = map.data() + 2 * quint64(limit);
        const quint64 offset = chunking.offset;
        quint64 position = running;
        quint32 filled = 0;
        while (entry < end && filled < wanted) {
            const quint16 value = quint16(entry[0] | (entry[1] << 8));
            entry += 2;
            values[filled] = position + offset;
            filled += FrameMap::kindOf(value) == kind;
            position += FrameMap::lengthOf(value);
        }
        cursor = quint32((entry - map.data()) / 2);
        running = position;
        return filled;
    }

    // Every samplesPerChunk-th item of the kind, from the first, opens a chunk.
    quint32 everyNthItem(quint64* values, quint32 wanted)
    {
        quint32 filled = 0;
        while (cursor < limit && filled < wanted) {
            const quint16 entry = map.entry(cursor++);
            const quint64 position = running;
            running += FrameMap::lengthOf(entry);
            if (FrameMap::kindOf(entry) != kind || --countdown != 0)
                continue;
            countdown = chunking.samplesPerChunk;
            values[filled++] = position + chunking.offset;
        }
        return filled;
    }

    FrameMap map;
    int kind;
    quint32 limit;
    FrameMap::Chunking chunking;
    quint32 cursor = 0;
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

void add(FrameMap::Count& count, int kind, quint32 length)
{
    switch (kind) {
    case FrameMap::AudioChunk: ++count.audioChunks; break;
    case FrameMap::VideoFrame: ++count.videoFrames; break;
    case FrameMap::TimecodeSample: ++count.timecodeSamples; break;
    default: break;
    }
    ++count.entries;
    count.mediaBytes += length;
}

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
    listed = Count();
    whole = Count();
    bool allWhole = true;
    quint64 position = mediaStart;
    for (quint32 i = 0; bytes && i < capacity; ++i) {
        const quint16 e = entry(i);
        if (e == 0)
            break; // the zero entry that ends the map
        const quint32 length = lengthOf(e);
        allWhole = allWhole && position + length <= availableEnd;
        add(listed, kindOf(e), length);
        if (allWhole)
            add(whole, kindOf(e), length);
        position += length;
    }
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
