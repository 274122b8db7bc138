#include "movieverifier.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "framemap.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimevelloranatom.h"

#include <QIODevice>
#include <QtEndian>

#include <memory>
#include <limits>
#include <vector>

namespace {

using Result = MovieVerifier::Result;

// The recorded media: [start, end) of the file.
struct MediaRange
{
    quint64 start;
    quint64 end;

    bool holds(quint64 offset, quint64 bytes) const
    {
        return offset >= start && offset <= end && bytes <= end - offset;
    }
};

// One atom of the file: where it starts, its size with the header, its type.
struct AtomRange
{
    quint64 position = 0;
    quint64 size = 0;
    quint32 type = 0;
    quint64 headerSize = 8;

    quint64 end() const { return position + size; }
};

bool readAt(QIODevice* device, quint64 position, char* bytes, qint64 length)
{
    return device->seek(qint64(position)) && device->read(bytes, length) == length;
}

// The atom at `position`, which must end by `end`.
bool atomAt(QIODevice* device, quint64 position, quint64 end, AtomRange& atom)
{
    uchar header[16];
    if (end < position || end - position < 8 || !readAt(device, position, reinterpret_cast<char*>(header), 8))
        return false;
    atom.position = position;
    atom.size = qFromBigEndian<quint32>(header);
    atom.type = qFromBigEndian<quint32>(header + 4);
    atom.headerSize = 8;
    if (atom.size == 1) {
        if (end - position < 16 || !readAt(device, position + 8, reinterpret_cast<char*>(header + 8), 8))
            return false;
        atom.size = qFromBigEndian<quint64>(header + 8);
        atom.headerSize = 16;
    }
    return atom.size >= atom.headerSize && atom.size <= end - position;
}

// The atoms that fill [start, end) back to back; a final 32-bit zero (a
// list terminator) is accepted. False when a header cannot be read or an
// atom runs past the end.
bool atomsIn(QIODevice* device, quint64 start, quint64 end, QList<AtomRange>& atoms)
{
    quint64 position = start;
    while (end - position >= 8) {
        AtomRange atom;
        if (!atomAt(device, position, end, atom))
            return false;
        atoms.append(atom);
        position = atom.end();
    }
    if (position == end)
        return true;
    char terminator[4];
    return end - position == 4 && readAt(device, position, terminator, 4) && qFromBigEndian<quint32>(terminator) == 0;
}

// A table's `count` entries, read block by block as they are walked, and
// nothing behind them.
class TableCursor
{
public:
    TableCursor(QIODevice* device, quint64 start, quint64 count, int width)
        : device(device)
        , next(start)
        , left(count > std::numeric_limits<quint64>::max() / 8 ? 0 : count * quint64(width))
        , width(width)
    {
    }

    // Up to `wanted` next entries, in place in the block read: how many
    // there are at `entries` (0 when none can be read).
    quint64 take(const char*& entries, quint64 wanted)
    {
        if (at == filled) {
            block.resize(blockBytes);
            if (!device->seek(qint64(next)))
                return 0;
            const qint64 got = device->read(block.data(), qint64(qMin<quint64>(blockBytes, left)));
            filled = got < 0 ? 0 : quint64(got) - quint64(got) % quint64(width);
            next += filled;
            left -= filled;
            at = 0;
        }
        const quint64 count = qMin<quint64>(wanted, width == 8 ? (filled - at) >> 3 : (filled - at) >> 2);
        entries = block.data() + at;
        at += count * quint64(width);
        return count;
    }

private:
    static constexpr qint64 blockBytes = 256 * 1024;

    QIODevice* device;
    quint64 next;
    quint64 left;
    int width;
    std::vector<char> block;
    quint64 filled = 0;
    quint64 at = 0;
};

// A table atom read as far as its fixed fields; the entries stay in the
// file and are walked with a cursor.
struct StreamedTable
{
    bool present = false;
    quint32 constantSize = 0; // stsz only
    quint64 count = 0;
    quint64 tableStart = 0;
    int width = 4;
};

// One track's sample tables: the small ones read by the library's reader,
// the sample sizes and chunk offsets streamed from the file.
class TrackCheck
{
public:
    explicit TrackCheck(QIODevice* device)
        : device(device)
    {
    }

    // Takes one atom of the track's sample table; false when it does not parse.
    bool take(const AtomRange& atom)
    {
        switch (atom.type) {
        case fourCC("stsz"):
            return readTableHeader(atom, sizes, true);
        case fourCC("co64"):
            offsets.width = 8;
            return readTableHeader(atom, offsets, false);
        case fourCC("stco"):
            offsets.width = 4;
            return readTableHeader(atom, offsets, false);
        default:
            break;
        }
        std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(device, atom.position, atom.size));
        if (!tree || tree->children.size() != 1)
            return false;
        if (atom.type == fourCC("stts")) {
            timedSamples = 0;
            for (const auto& entry : static_cast<QuickTimeTimeToSampleAtom*>(tree->children.first())->entries)
                timedSamples += entry.sampleCount;
            hasTimes = true;
        } else if (atom.type == fourCC("stsc")) {
            chunkEntries = static_cast<QuickTimeSampleToChunkAtom*>(tree->children.first())->entries;
            hasChunks = true;
        }
        return true;
    }

    Result check(const MediaRange& media) const
    {
        if (!hasTimes || !hasChunks || !sizes.present || !offsets.present)
            return Result::IncompleteTrack;
        quint64 chunkedSamples = 0;
        if (!countChunkedSamples(chunkedSamples) || timedSamples != sizes.count || sizes.count != chunkedSamples)
            return Result::CountsDisagree;
        return chunksInside(media);
    }

private:
    bool readTableHeader(const AtomRange& atom, StreamedTable& table, bool sampleSizes)
    {
        const quint64 fixed = sampleSizes ? 12 : 8; // version and flags, (size,) count
        uchar fields[12];
        if (table.present || atom.size < atom.headerSize + fixed
            || !readAt(device, atom.position + atom.headerSize, reinterpret_cast<char*>(fields), qint64(fixed)))
            return false;
        table.present = true;
        table.constantSize = sampleSizes ? qFromBigEndian<quint32>(fields + 4) : 0;
        table.count = qFromBigEndian<quint32>(fields + fixed - 4);
        table.tableStart = atom.position + atom.headerSize + fixed;
        const bool listed = !sampleSizes || table.constantSize == 0;
        return atom.size - atom.headerSize - fixed == (listed ? table.count * quint64(table.width) : 0);
    }

    // The entries must name chunks from the first, in rising order, none past
    // the last; each runs until the next entry's first chunk.
    bool countChunkedSamples(quint64& total) const
    {
        total = 0;
        if (offsets.count == 0)
            return true;
        if (chunkEntries.isEmpty() || chunkEntries.first().firstChunk != 1)
            return false;
        for (qsizetype i = 0; i < chunkEntries.size(); ++i) {
            const quint64 first = chunkEntries.at(i).firstChunk;
            const quint64 next = i + 1 < chunkEntries.size() ? chunkEntries.at(i + 1).firstChunk : offsets.count + 1;
            if (next <= first || first > offsets.count || next > offsets.count + 1)
                return false;
            total += (next - first) * chunkEntries.at(i).samplesPerChunk;
        }
        return true;
    }

    Result chunksInside(const MediaRange& media) const
    {
        TableCursor offsetCursor(device, offsets.tableStart, offsets.count, offsets.width);
        TableCursor sizeCursor(device, sizes.tableStart, sizes.constantSize == 0 ? sizes.count : 0, 4);
        // Run by run of the sample-to-chunk table (checked to name its
        // chunks in rising order): each chunk's offset plus its samples' bytes.
        for (qsizetype run = 0; run < chunkEntries.size(); ++run) {
            const quint64 samples = chunkEntries.at(run).samplesPerChunk;
            const quint64 end
                = run + 1 < chunkEntries.size() ? chunkEntries.at(run + 1).firstChunk : offsets.count + 1;
            const quint64 constantBytes = samples * sizes.constantSize;
            for (quint64 chunks = end - chunkEntries.at(run).firstChunk; chunks > 0;) {
                const char* entries = nullptr;
                const quint64 count = offsetCursor.take(entries, chunks);
                if (count == 0)
                    return Result::Unreadable;
                chunks -= count;
                if (sizes.constantSize != 0) {
                    if (!constantChunksInside(media, entries, count, offsets.width, constantBytes))
                        return Result::OutsideMedia;
                    continue;
                }
                if (samples == 1) {
                    // A frame to a chunk: offsets and sizes side by side.
                    for (quint64 i = 0; i < count;) {
                        const char* sampleSizes = nullptr;
                        const quint64 taken = sizeCursor.take(sampleSizes, count - i);
                        if (taken == 0)
                            return Result::Unreadable;
                        if (!singleSampleChunksInside(media, entries + i * quint64(offsets.width), sampleSizes, taken,
                                offsets.width))
                            return Result::OutsideMedia;
                        i += taken;
                    }
                    continue;
                }
                for (quint64 i = 0; i < count; ++i) {
                    quint64 bytes = 0;
                    for (quint64 left = samples; left > 0;) {
                        const char* sampleSizes = nullptr;
                        const quint64 taken = sizeCursor.take(sampleSizes, left);
                        if (taken == 0)
                            return Result::Unreadable;
                        for (quint64 s = 0; s < taken; ++s)
                            bytes += qFromBigEndian<quint32>(sampleSizes + 4 * s);
                        left -= taken;
                    }
                    const quint64 offset = offsets.width == 8 ? qFromBigEndian<quint64>(entries + 8 * i)
                                                              : qFromBigEndian<quint32>(entries + 4 * i);
                    if (!media.holds(offset, bytes))
                        return Result::OutsideMedia;
                }
            }
        }
        return Result::Sound;
    }

    // Whether `count` chunks of `bytes` each, at the offsets listed at
    // `entries`, all lie inside the media: the tight loop of a sound track.
    static bool constantChunksInside(const MediaRange& media, const char* entries, quint64 count, int width,
        quint64 bytes)
    {
        if (bytes > media.end - media.start)
            return false;
        const quint64 lowest = media.start;
        const quint64 highest = media.end - bytes;
        bool inside = true;
        if (width == 8) {
            for (quint64 i = 0; i < count; ++i) {
                const quint64 offset = qFromBigEndian<quint64>(entries + 8 * i);
                inside &= offset >= lowest && offset <= highest;
            }
        } else {
            for (quint64 i = 0; i < count; ++i) {
                const quint64 offset = qFromBigEndian<quint32>(entries + 4 * i);
                inside &= offset >= lowest && offset <= highest;
            }
        }
        return inside;
    }

    // Whether `count` chunks of one sample each, at the offsets listed at
    // `entries` and of the sizes listed at `sizes`, all lie inside the media.
    static bool singleSampleChunksInside(const MediaRange& media, const char* entries, const char* sizes,
        quint64 count, int width)
    {
        bool inside = true;
        for (quint64 i = 0; i < count; ++i) {
            const quint64 offset = width == 8 ? qFromBigEndian<quint64>(entries + 8 * i)
                                              : qFromBigEndian<quint32>(entries + 4 * i);
            inside &= media.holds(offset, qFromBigEndian<quint32>(sizes + 4 * i));
        }
        return inside;
    }

    QIODevice* device;
    bool hasTimes = false;
    bool hasChunks = false;
    quint64 timedSamples = 0;
    QList<QuickTimeSampleToChunkAtom::Entry> chunkEntries;
    StreamedTable sizes;
    StreamedTable offsets;
};

// Walks the movie atom: containers by their headers, every small atom parsed
// by the library's reader, the big tables by their fixed fields, and the
// sample tables of each track checked against the media.
class MovieWalk
{
public:
    MovieWalk(QIODevice* device, const MediaRange& media)
        : device(device)
        , media(media)
    {
    }

    Result walk(const AtomRange& movie)
    {
        QList<AtomRange> atoms;
        if (!atomsIn(device, movie.position + movie.headerSize, movie.end(), atoms))
            return Result::Unreadable;
        for (const AtomRange& atom : std::as_const(atoms)) {
            Result result = Result::Sound;
            if (atom.type == fourCC("trak")) {
                TrackCheck track(device);
                result = parses(atom, &track) ? track.check(media) : Result::Unreadable;
            } else if (!parses(atom, nullptr)) {
                result = Result::Unreadable;
            }
            if (result != Result::Sound)
                return result;
        }
        return Result::Sound;
    }

private:
    static bool isContainer(quint32 type)
    {
        switch (type) {
        case fourCC("trak"):
        case fourCC("mdia"):
        case fourCC("minf"):
        case fourCC("stbl"):
        case fourCC("udta"):
        case fourCC("dinf"):
        case fourCC("edts"):
        case fourCC("gmhd"):
            return true;
        default:
            return false;
        }
    }

    // The vendor atom holds a copy of the whole frame map: its fields, not its entries.
    bool vendorAtomFits(const AtomRange& atom)
    {
        uchar count[4];
        return atom.headerSize == 8 && atom.size >= quint64(QuickTimeVelloranAtom::fixedSize)
            && readAt(device, atom.position + 20, reinterpret_cast<char*>(count), 4)
            && atom.size == QuickTimeVelloranAtom::fixedSize + 2 * quint64(qFromBigEndian<quint32>(count));
    }

    bool parses(const AtomRange& atom, TrackCheck* track)
    {
        if (isContainer(atom.type)) {
            QList<AtomRange> children;
            if (!atomsIn(device, atom.position + atom.headerSize, atom.end(), children))
                return false;
            TrackCheck* tables = atom.type == fourCC("stbl") ? track : nullptr;
            for (const AtomRange& child : std::as_const(children)) {
                if (!(tables ? tables->take(child) : parses(child, track)))
                    return false;
            }
            return true;
        }
        if (atom.type == fourCC("vrln"))
            return vendorAtomFits(atom);
        std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(device, atom.position, atom.size));
        return tree && tree->children.size() == 1;
    }

    QIODevice* device;
    MediaRange media;
};

} // namespace

MovieVerifier::Result MovieVerifier::check(QIODevice* device, quint64 movieDataSize,
    quint64 movieStart)
{
    if (!device || !device->isReadable() || device->isSequential())
        return Result::Unreadable;
    if (movieDataSize < 16 || movieDataSize > quint64(device->size()))
        return Result::MediaNotCovered;
    const MediaRange media{ FrameMap::mediaStart, (FrameMap::mediaStart - 16) + movieDataSize };
    if (media.end != movieStart)
        return Result::MediaNotCovered;

    AtomRange movie;
    if (!atomAt(device, movieStart, quint64(device->size()), movie) || movie.type != fourCC("moov"))
        return Result::Unreadable;
    return MovieWalk(device, media).walk(movie);
}

MovieVerifier::Result MovieVerifier::checkCommitted(QIODevice* device)
{
    if (!device || !device->isReadable() || device->isSequential())
        return Result::Unreadable;
    uchar header[16];
    if (!readAt(device, (FrameMap::mediaStart - 16), reinterpret_cast<char*>(header), 16)
        || qFromBigEndian<quint32>(header) != 1 || qFromBigEndian<quint32>(header + 4) != fourCC("mdat"))
        return Result::Unreadable;
    const quint64 movieDataSize = qFromBigEndian<quint64>(header + 8);
    // An open header covers no media yet.
    if (movieDataSize <= 16)
        return Result::Unreadable;
    return check(device, movieDataSize, (FrameMap::mediaStart - 16) + movieDataSize);
}

const char* MovieVerifier::reason(Result result)
{
    switch (result) {
    case Result::Sound: return "the rebuilt movie checks out";
    case Result::Unreadable: return "the rebuilt movie cannot be read back";
    case Result::MediaNotCovered: return "the movie data size does not cover the media";
    case Result::IncompleteTrack: return "a track of the rebuilt movie lacks its sample tables";
    case Result::CountsDisagree: return "the sample tables of the rebuilt movie disagree";
    case Result::OutsideMedia: return "the rebuilt movie points outside the recorded media";
    }
    return "the rebuilt movie does not check out";
}

