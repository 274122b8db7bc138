#include "itemsearch.h"

#include "exactreads.h"
#include "quicktimefile.h"

#include <QtEndian>

#include <vector>

namespace {

constexpr quint64 blockSize = FrameMap::blockSize;

// The DNxHD frame (both fields of an interlaced one) of each compression
// ID, for a take whose map lists no frame to take the length from.
struct DnxFrame
{
    quint32 compressionId;
    quint32 bytes;
};
constexpr DnxFrame dnxFrames[] = {
    { 1235, 917504 }, { 1237, 606208 }, { 1238, 917504 }, { 1241, 917504 }, { 1242, 606208 },
    { 1243, 917504 }, { 1244, 606208 }, { 1250, 458752 }, { 1251, 458752 }, { 1252, 303104 },
    { 1253, 188416 }, { 1258, 212992 }, { 1259, 417792 },
};
constexpr quint32 dnxEndOfFrame = 0x600DC0DE;

// Chunks in a row a take whose map lists no run of its own may show: a
// recorder writes sound whose chunk does not match a frame in runs of two
// or three between frames.
constexpr quint32 fewestChunksInARun = 4;

// The lengths of the first and the last chunk of a run.
struct RunShape
{
    quint64 first;
    quint64 last;
};

// Reads a few bytes at a time, never the media behind them.
class HeaderReader
{
    ExactReads reads;

public:
    explicit HeaderReader(QIODevice* device)
        : reads(device)
        , size(quint64(qMax<qint64>(reads.device()->size(), 0)))
    {
    }

    bool read(quint64 offset, char* bytes, int length)
    {
        QIODevice* source = reads.device();
        return offset <= size && size - offset >= quint64(length) && source->seek(qint64(offset))
            && source->read(bytes, length) == length;
    }

    const quint64 size;
};

class Search
{
public:
    Search(QuickTimeFile& file, const FrameMap::Count& listed)
        : file(file)
        , header(file.device)
        , dnxFrameBytes(listedDnxFrameBytes(listed))
        , mostChunksInARun(qMax(longestListedRun(listed), fewestChunksInARun))
    {
        fullChunk = FrameMap::wholeBlocks(file.soundChunkBytes(file.audioSamplesPerChunk));
        firstChunk = listed.audioChunks == 0 ? FrameMap::wholeBlocks(file.soundChunkBytes(file.audioFirstChunkSamples)) : 0;
        lastChunk = FrameMap::wholeBlocks(file.soundChunkBytes(file.audioLastChunkSamples));
    }

    // The length of the proven frame at `at`, or 0.
    quint64 frameAt(quint64 at)
    {
        switch (file.videoCodec) {
        case 0: return dnxFrameAt(at);
        case 1:
        case 2: return proResFrameAt(at);
        default: return 0;
        }
    }

    // The lengths of the run of sound chunks at `at`, or none: chunks of
    // this take's length back to back, no more of them than its runs hold,
    // that a proven frame follows or that end the recorded media. The run's
    // first chunk may be the take's first, its last one the take's last.
    std::vector<quint64> soundRunAt(quint64 at)
    {
        if (file.audioChannelCount == 0 || fullChunk == 0 || fullChunk > FrameMap::longestItem)
            return {};
        // A lone chunk has one of the three lengths; a longer run opens and
        // closes with a full chunk or with the take's own first and last.
        const RunShape lone[] = { { fullChunk, fullChunk }, { firstChunk, firstChunk }, { lastChunk, lastChunk } };
        const RunShape longer[] = { { fullChunk, fullChunk }, { firstChunk, fullChunk }, { fullChunk, lastChunk },
            { firstChunk, lastChunk } };
        bool fits = true;
        for (quint64 chunks = 1; chunks <= mostChunksInARun && fits; ++chunks) {
            fits = false;
            const RunShape* const shapes = chunks == 1 ? lone : longer;
            for (const RunShape* shape = shapes; shape != shapes + (chunks == 1 ? 3 : 4); ++shape) {
                if (shape->first == 0 || shape->last == 0 || shape->first > FrameMap::longestItem
                    || shape->last > FrameMap::longestItem)
                    continue;
                const quint64 length = chunks == 1 ? shape->first : shape->first + (chunks - 2) * fullChunk + shape->last;
                if (header.size - at < length)
                    continue;
                fits = true;
                const quint64 end = at + length;
                const bool endsMedia = (end == header.size || end == file.recordedEnd)
                    && (shape->last == fullChunk || shape->last == lastChunk);
                if (endsMedia || frameAt(end) != 0) {
                    std::vector<quint64> run(chunks, fullChunk);
                    run.front() = shape->first;
                    run.back() = shape->last;
                    return run;
                }
            }
        }
        return {};
    }

    bool timecodeSampleAt(quint64 at)
    {
        char bytes[4];
        return at <= header.size && header.size - at >= blockSize && header.read(at, bytes, sizeof bytes)
            && qFromBigEndian<quint32>(bytes) == file.startTimecode;
    }

    quint64 size() const { return header.size; }
    void chunkSeen() { firstChunk = 0; }

private:
    // A ProRes frame: its size and identifier, then a header that gives the
    // take's picture size; the frame lies wholly in the file.
    quint64 proResFrameAt(quint64 at)
    {
        char bytes[20];
        if (!header.read(at, bytes, sizeof bytes))
            return 0;
        const quint64 frameBytes = qFromBigEndian<quint32>(bytes);
        const quint32 headerBytes = qFromBigEndian<quint16>(bytes + 8);
        if (qFromBigEndian<quint32>(bytes + 4) != fourCC("icpf") || headerBytes < 12 || frameBytes < 8 + headerBytes
            || qFromBigEndian<quint16>(bytes + 16) != file.width || qFromBigEndian<quint16>(bytes + 18) != file.height
            || header.size - at < frameBytes)
            return 0;
        return FrameMap::wholeBlocks(frameBytes);
    }

    // A DNxHD frame: each field's header prefix, compression ID and picture
    // size (lines per field when interlaced), and the end-of-frame mark
    // where the frame of that compression ends.
    quint64 dnxFrameAt(quint64 at)
    {
        const bool interlaced = file.interlaced != 0;
        const quint64 fieldBytes = interlaced ? dnxFrameBytes / 2 : dnxFrameBytes;
        if (dnxFrameBytes == 0 || header.size - at < dnxFrameBytes)
            return 0;
        for (quint64 field = at; field < at + dnxFrameBytes; field += fieldBytes) {
            char bytes[44];
            char end[4];
            if (!header.read(field, bytes, sizeof bytes) || !header.read(field + fieldBytes - 4, end, sizeof end))
                return 0;
            const quint32 lines = interlaced ? file.height / 2u : file.height;
            if (qFromBigEndian<quint32>(bytes) != 0x00000280 || quint8(bytes[4]) < 1 || quint8(bytes[4]) > 3
                || qFromBigEndian<quint16>(bytes + 0x18) != lines || qFromBigEndian<quint16>(bytes + 0x1A) != file.width
                || qFromBigEndian<quint32>(bytes + 0x28) != file.avidCompressionId
                || qFromBigEndian<quint32>(end) != dnxEndOfFrame)
                return 0;
        }
        return dnxFrameBytes;
    }

    // The most sound chunks the map lists in a row: a run of the take's own
    // is never longer, and so a long stretch of junk is never walked in
    // chunk-length steps.
    quint32 longestListedRun(const FrameMap::Count& listed) const
    {
        quint32 longest = 0;
        quint32 run = 0;
        for (quint32 index = 0; index < listed.entries; ++index) {
            run = FrameMap::kindOf(file.frameMap.entry(index)) == FrameMap::AudioChunk ? run + 1 : 0;
            longest = qMax(longest, run);
        }
        return longest;
    }

    // Every DNxHD frame of a take has the same length: that of a frame the
    // map lists, or else the one of its compression ID.
    quint64 listedDnxFrameBytes(const FrameMap::Count& listed) const
    {
        for (quint32 index = listed.entries; index-- > 0;) {
            const quint16 entry = file.frameMap.entry(index);
            if (FrameMap::kindOf(entry) == FrameMap::VideoFrame)
                return FrameMap::lengthOf(entry);
        }
        for (const DnxFrame& frame : dnxFrames) {
            if (frame.compressionId == file.avidCompressionId)
                return frame.bytes;
        }
        return 0;
    }

    QuickTimeFile& file;
    HeaderReader header;
    quint64 dnxFrameBytes;
    quint32 mostChunksInARun;
    quint64 fullChunk = 0;
    quint64 firstChunk = 0;
    quint64 lastChunk = 0;
};

} // namespace

ItemSearch::Found ItemSearch::extend(QuickTimeFile& file, const FrameMap::Count& listed)
{
    Found found;
    if (!file.frameMap.isValid() || listed.entries >= FrameMap::capacity)
        return found;
    Search search(file, listed);
    std::vector<quint16> entries;
    const auto room = [&] { return FrameMap::capacity - listed.entries - quint32(entries.size()); };
    quint64 at = listed.end();
    if (listed.entries == 0 && search.timecodeSampleAt(at)) {
        entries.push_back(FrameMap::entryFor(FrameMap::TimecodeSample, 1));
        ++found.timecodeSamples;
        at += blockSize;
    }
    while (room() > 0 && at < search.size()) {
        if (const quint64 frame = search.frameAt(at); frame != 0 && frame <= FrameMap::longestItem) {
            entries.push_back(FrameMap::entryFor(FrameMap::VideoFrame, quint32(frame / blockSize)));
            ++found.videoFrames;
            at += frame;
        } else if (const std::vector<quint64> run = search.soundRunAt(at); !run.empty() && run.size() <= room()) {
            for (const quint64 chunk : run) {
                entries.push_back(FrameMap::entryFor(FrameMap::AudioChunk, quint32(chunk / blockSize)));
                at += chunk;
            }
            found.soundChunks += quint32(run.size());
            search.chunkSeen();
        } else {
            break;
        }
    }
    if (found.videoFrames == 0)
        return Found();
    for (quint32 i = 0; i < entries.size(); ++i)
        file.frameMap.setEntry(listed.entries + i, entries[i]);
    // The map ends after them, whatever the recorder left in the slots beyond.
    if (room() > 0)
        file.frameMap.setEntry(listed.entries + quint32(entries.size()), 0);
    return found;
}
