#include "framemap.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace {

// The table sources walk the entries [0, limit): a limit that ends after
// the last counted entry (FrameMap::span) covers the counted entries and
// the kind 3 entries among them, whose blocks still move the offset.

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
            return FrameMap::storeItemsOf(kind, cursor, end, position, count, [out](quint32 index, quint64, quint16 entry) {
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
    ChunkOffsetSource(const FrameMap& map, int kind, quint32 limit, const FrameMap::Chunking& chunking,
        FrameMap::ItemStarts starts)
        : map(map)
        , kind(kind)
        , end(map.data() + 2 * quint64(map.isValid() ? limit : 0))
        , chunking(chunking)
        , starts(chunking.samplesPerChunk == 1 ? std::move(starts) : nullptr)
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
            if (starts) {
                const quint32 known = quint32(starts->size()) - qMin(chunkIndex, quint32(starts->size()));
                const quint32* start = starts->data() + (starts->size() - known);
                while (filled < qMin(wanted, known)
                    && store<Field>(out, filled, FrameMap::mediaStart + quint64(start[filled]) * FrameMap::blockSize + offset))
                    ++filled;
            } else if (chunking.samplesPerChunk == 1) {
                filled = FrameMap::storeItemsOf(kind, cursor, end, running, wanted, [out, offset](quint32 index, quint64 position, quint16) {
                    return store<Field>(out, index, position + offset) ? 1 : -1;
                });
            } else {
                // Every samplesPerChunk-th item of the kind, from the first, opens a chunk.
                quint32& left = countdown;
                const quint32 perChunk = chunking.samplesPerChunk;
                filled = FrameMap::storeItemsOf(kind, cursor, end, running, wanted,
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
    FrameMap::ItemStarts starts;
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
            const quint32 stored = qMin(count, entries - index);
            const quint8* from = map.data() + 2 * quint64(index);
            for (quint32 i = 0; i < stored; ++i)
                qToBigEndian(Field(qFromLittleEndian<quint16>(from + 2 * quint64(i))), out + quint64(i) * sizeof(Field));
            index += stored;
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
    if (!bytes || !device->seek(offset))
        return false;
    qint64 done = 0;
    bool ended = false;
    while (!ended && done < byteSize) {
        const qint64 length = qMin(readBlock, byteSize - done);
        if (device->read(reinterpret_cast<char*>(bytes) + done, length) != length) {
            clearFrom(done);
            return false;
        }
        ended = holdsZeroEntry(bytes + done, length);
        done += length;
    }
    clearFrom(done);
    return true;
}

bool FrameMap::holdsZeroEntry(const quint8* from, qint64 length)
{
    // Four entries a step: a word holds a zero entry when subtracting one
    // from each entry borrows into a top bit that was clear.
    constexpr quint64 ones = 0x0001000100010001;
    constexpr quint64 tops = 0x8000800080008000;
    for (qint64 at = 0; at + 8 <= length; at += 8) {
        const quint64 word = qFromLittleEndian<quint64>(from + at);
        if (((word - ones) & ~word & tops) != 0)
            return true;
    }
    return false;
}

void FrameMap::clearFrom(qint64 from)
{
    // Every read leaves zeros behind what it read, and the entries a repair
    // adds follow the map's own without a gap: what an earlier map left are
    // the blocks from here up to the first block that is all zero.
    for (qint64 at = from; at < byteSize; at += readBlock) {
        quint8* const block = bytes + at;
        const qint64 length = qMin(readBlock, byteSize - at);
        if (std::all_of(block, block + length, [](quint8 byte) { return byte == 0; }))
            return;
        std::fill(block, block + length, quint8(0));
    }
}

void FrameMap::setEntry(quint32 index, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes + 2 * quint64(index));
}

void FrameMap::count(quint64 availableEnd, Count& listed, Count& whole) const
{
    // The whole items are those before the first item that ends past
    // availableEnd: their counts are a snapshot taken there, and the walk
    // goes on without the test up to the zero entry that ends the map.
    quint32 byKind[4] = {};
    quint32 index = 0;
    quint64 position = mediaStart;
    const quint32 limit = bytes ? capacity : 0;
    const auto snapshot = [&] {
        Count counted;
        counted.audioChunks = byKind[AudioChunk];
        counted.videoFrames = byKind[VideoFrame];
        counted.timecodeSamples = byKind[TimecodeSample];
        counted.entries = index;
        counted.mediaBytes = position - mediaStart;
        return counted;
    };
    for (; index < limit; ++index) {
        const quint16 e = entry(index);
        if (e == 0 || position + lengthOf(e) > availableEnd)
            break;
        ++byKind[kindOf(e)];
        position += lengthOf(e);
    }
    whole = snapshot();
    for (; index < limit; ++index) {
        const quint16 e = entry(index);
        if (e == 0)
            break;
        ++byKind[kindOf(e)];
        position += lengthOf(e);
    }
    listed = snapshot();
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

QuickTimeEntrySourcePointer FrameMap::chunkOffsets(Kind kind, quint32 limit, const Chunking& chunking,
    ItemStarts starts) const
{
    return std::make_unique<ChunkOffsetSource>(*this, kind, limit, chunking, std::move(starts));
}

FrameMap::ItemStarts FrameMap::itemStarts(Kind kind, quint32 limit, quint32 most) const
{
    auto starts = std::make_shared<std::vector<quint32>>(most);
    quint32* start = starts->data();
    const quint8* cursor = bytes;
    quint64 position = mediaStart;
    const quint8* end = bytes + 2 * quint64(bytes ? qMin(limit, capacity) : 0);
    bool fit = true;
    starts->resize(storeItemsOf(kind, cursor, end, position, most, [&](quint32 index, quint64 at, quint16) {
        const quint64 block = (at - mediaStart) / blockSize;
        fit = block <= std::numeric_limits<quint32>::max();
        start[index] = quint32(block);
        return fit ? 1 : -1;
    }));
    return fit ? starts : nullptr;
}

QuickTimeEntrySourcePointer FrameMap::rawEntries(quint32 entries) const
{
    return std::make_unique<RawEntrySource>(*this, entries);
}
