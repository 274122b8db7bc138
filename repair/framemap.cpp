#include "framemap.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// One pass over the counted entries, as every table walks them: kind 3
// entries are stepped over (their blocks still move the offset), and the
// pass ends after `total` counted entries or at the map's capacity.
class Walk
{
public:
    Walk(const FrameMap& map, quint32 total)
        : map(map)
        , total(map.isValid() ? total : 0)
    {
    }

    // The next entry of `kind`: its item's offset and length.
    bool nextOf(int kind, quint64& position, quint32& length)
    {
        while (counted < total && cursor < FrameMap::capacity) {
            const quint16 entry = map.entry(cursor++);
            const int entryKind = FrameMap::kindOf(entry);
            length = FrameMap::lengthOf(entry);
            position = running;
            running += length;
            if (entryKind == FrameMap::Unused)
                continue;
            ++counted;
            if (entryKind == kind)
                return true;
        }
        return false;
    }

    void restart()
    {
        cursor = 0;
        counted = 0;
        running = FrameMap::mediaStart;
    }

    quint32 cursor = 0;
    quint64 running = FrameMap::mediaStart;

private:
    FrameMap map;
    quint32 total;
    quint32 counted = 0;
};

class SizeSource : public QuickTimeEntrySource
{
public:
    SizeSource(const FrameMap& map, int kind, quint32 total)
        : walk(map, total)
        , kind(kind)
    {
    }

    void rewind() override { walk.restart(); }
    quint32 next(quint64* values, quint32 count) override
    {
        quint32 filled = 0;
        quint64 position = 0;
        quint32 length = 0;
        while (filled < count && walk.nextOf(kind, position, length))
            values[filled++] = length;
        return filled;
    }

private:
    Walk walk;
    int kind;
};

class ChunkOffsetSource : public QuickTimeEntrySource
{
public:
    ChunkOffsetSource(const FrameMap& map, int kind, quint32 total, const FrameMap::Chunking& chunking)
        : walk(map, total)
        , kind(kind)
        , chunking(chunking)
    {
    }

    void rewind() override
    {
        walk.restart();
        chunkIndex = 0;
        countdown = 1;
    }

    quint32 next(quint64* values, quint32 count) override
    {
        quint32 filled = 0;
        quint64 position = 0;
        quint32 length = 0;
        while (filled < count && chunkIndex < chunking.chunkCount && walk.nextOf(kind, position, length)) {
            if (--countdown != 0)
                continue;
            countdown = chunking.samplesPerChunk;
            quint64 adjustment = chunking.offset;
            if (chunkIndex + 1 == chunking.chunkCount && chunking.lastChunkOffset != 0)
                adjustment = chunking.lastChunkOffset;
            else if (chunkIndex == 0 && chunking.firstChunkOffset != 0)
                adjustment = chunking.firstChunkOffset;
            values[filled++] = position + adjustment;
            ++chunkIndex;
        }
        return filled;
    }

private:
    Walk walk;
    int kind;
    FrameMap::Chunking chunking;
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

quint32 FrameMap::span(quint32 total) const
{
    Walk walk(*this, total);
    quint64 position = 0;
    quint32 length = 0;
    while (walk.nextOf(-1, position, length)) {
    }
    return walk.cursor;
}

quint64 FrameMap::spanEnd(quint32 total) const
{
    Walk walk(*this, total);
    quint64 position = 0;
    quint32 length = 0;
    while (walk.nextOf(-1, position, length)) {
    }
    return walk.running;
}

QuickTimeEntrySourcePointer FrameMap::sizes(Kind kind, quint32 total) const
{
    return std::make_unique<SizeSource>(*this, kind, total);
}

QuickTimeEntrySourcePointer FrameMap::chunkOffsets(Kind kind, quint32 total, const Chunking& chunking) const
{
    return std::make_unique<ChunkOffsetSource>(*this, kind, total, chunking);
}

QuickTimeEntrySourcePointer FrameMap::rawEntries(quint32 entries) const
{
    return std::make_unique<RawEntrySource>(*this, entries);
}
