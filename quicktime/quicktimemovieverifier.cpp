#include "quicktimemovieverifier.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimefile.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"

#include <QIODevice>
#include <QtEndian>

#include <memory>

QTLIB_BEGIN_NAMESPACE

namespace {

using Result = QuickTimeMovieVerifier::Result;

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

QuickTimeAtom* firstOfType(QuickTimeAtom* atom, quint32 type)
{
    if (atom->type == type)
        return atom;
    for (QuickTimeAtom* child : std::as_const(atom->children)) {
        if (QuickTimeAtom* found = firstOfType(child, type))
            return found;
    }
    return nullptr;
}

QuickTimeAtom* childOfType(const QuickTimeAtom* parent, quint32 type)
{
    for (QuickTimeAtom* child : parent->children) {
        if (child->type == type)
            return child;
    }
    return nullptr;
}

// One track's sample tables, as read back.
class TrackTables
{
public:
    explicit TrackTables(QuickTimeAtom* track)
    {
        QuickTimeAtom* table = firstOfType(track, fourCC("stbl"));
        if (!table)
            return;
        times = static_cast<QuickTimeTimeToSampleAtom*>(childOfType(table, fourCC("stts")));
        chunks = static_cast<QuickTimeSampleToChunkAtom*>(childOfType(table, fourCC("stsc")));
        sizes = static_cast<QuickTimeSampleSizeAtom*>(childOfType(table, fourCC("stsz")));
        offsets64 = static_cast<QuickTimeChunkOffset64Atom*>(childOfType(table, fourCC("co64")));
        offsets32 = static_cast<QuickTimeChunkOffsetAtom*>(childOfType(table, fourCC("stco")));
    }

    Result check(const MediaRange& media) const
    {
        if (!times || !chunks || !sizes || (!offsets64 == !offsets32))
            return Result::IncompleteTrack;
        quint64 timedSamples = 0;
        for (const auto& entry : times->entries)
            timedSamples += entry.sampleCount;
        const quint64 sizedSamples = sizes->sampleCount;
        if (sizes->sampleSize == 0 && quint64(sizes->readSizes.size()) != sizedSamples)
            return Result::CountsDisagree;
        quint64 chunkedSamples = 0;
        if (!countChunkedSamples(chunkedSamples))
            return Result::CountsDisagree;
        if (timedSamples != sizedSamples || sizedSamples != chunkedSamples)
            return Result::CountsDisagree;
        return chunksInside(media) ? Result::Sound : Result::OutsideMedia;
    }

private:
    quint64 chunkCount() const
    {
        return offsets64 ? quint64(offsets64->readOffsets.size()) : quint64(offsets32->readOffsets.size());
    }

    quint64 chunkOffset(quint64 index) const
    {
        return offsets64 ? offsets64->readOffsets.at(qsizetype(index)) : offsets32->readOffsets.at(qsizetype(index));
    }

    // The entries must name chunks from the first, in rising order, none past
    // the last; each runs until the next entry's first chunk.
    bool countChunkedSamples(quint64& total) const
    {
        const quint64 count = chunkCount();
        total = 0;
        if (count == 0)
            return true;
        const QList<QuickTimeSampleToChunkAtom::Entry>& entries = chunks->entries;
        if (entries.isEmpty() || entries.first().firstChunk != 1)
            return false;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const quint64 first = entries.at(i).firstChunk;
            const quint64 next = i + 1 < entries.size() ? entries.at(i + 1).firstChunk : count + 1;
            if (next <= first || first > count || next > count + 1)
                return false;
            total += (next - first) * entries.at(i).samplesPerChunk;
        }
        return true;
    }

    bool chunksInside(const MediaRange& media) const
    {
        const QList<QuickTimeSampleToChunkAtom::Entry>& entries = chunks->entries;
        const quint64 count = chunkCount();
        qsizetype entry = 0;
        quint64 sample = 0;
        for (quint64 chunk = 1; chunk <= count; ++chunk) {
            while (entry + 1 < entries.size() && entries.at(entry + 1).firstChunk <= chunk)
                ++entry;
            const quint64 samples = entries.at(entry).samplesPerChunk;
            quint64 bytes = 0;
            if (sizes->sampleSize != 0) {
                bytes = samples * sizes->sampleSize;
            } else {
                for (quint64 i = 0; i < samples; ++i)
                    bytes += sizes->readSizes.at(qsizetype(sample + i));
            }
            sample += samples;
            if (!media.holds(chunkOffset(chunk - 1), bytes))
                return false;
        }
        return true;
    }

    QuickTimeTimeToSampleAtom* times = nullptr;
    QuickTimeSampleToChunkAtom* chunks = nullptr;
    QuickTimeSampleSizeAtom* sizes = nullptr;
    QuickTimeChunkOffset64Atom* offsets64 = nullptr;
    QuickTimeChunkOffsetAtom* offsets32 = nullptr;
};

// The size of the atom at `position`, from its 32-bit or 64-bit size field,
// when it is of `type`; 0 otherwise.
quint64 atomSizeAt(QIODevice* device, quint64 position, quint32 type)
{
    uchar header[16];
    if (!device->seek(qint64(position)) || device->read(reinterpret_cast<char*>(header), 8) != 8
        || qFromBigEndian<quint32>(header + 4) != type)
        return 0;
    const quint32 size = qFromBigEndian<quint32>(header);
    if (size != 1)
        return size;
    if (device->read(reinterpret_cast<char*>(header + 8), 8) != 8)
        return 0;
    return qFromBigEndian<quint64>(header + 8);
}

} // namespace

QuickTimeMovieVerifier::Result QuickTimeMovieVerifier::check(QIODevice* device, quint64 movieDataSize,
    quint64 movieStart)
{
    if (!device || !device->isReadable() || device->isSequential())
        return Result::Unreadable;
    if (movieDataSize < 16 || movieDataSize > quint64(device->size()))
        return Result::MediaNotCovered;
    const MediaRange media{ QuickTimeFile::mediaDataOffset, QuickTimeFile::movieDataHeaderOffset + movieDataSize };
    if (media.end != movieStart)
        return Result::MediaNotCovered;

    const quint64 movieSize = atomSizeAt(device, movieStart, fourCC("moov"));
    if (movieSize < 8)
        return Result::Unreadable;
    const std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(device, movieStart, movieSize));
    if (!tree || tree->children.size() != 1 || tree->children.first()->type != fourCC("moov")
        || tree->children.first()->readSize != movieSize)
        return Result::Unreadable;

    for (QuickTimeAtom* atom : std::as_const(tree->children.first()->children)) {
        if (atom->type != fourCC("trak"))
            continue;
        const Result result = TrackTables(atom).check(media);
        if (result != Result::Sound)
            return result;
    }
    return Result::Sound;
}

QuickTimeMovieVerifier::Result QuickTimeMovieVerifier::checkCommitted(QIODevice* device)
{
    if (!device || !device->isReadable() || device->isSequential())
        return Result::Unreadable;
    uchar header[16];
    if (!device->seek(qint64(QuickTimeFile::movieDataHeaderOffset))
        || device->read(reinterpret_cast<char*>(header), 16) != 16 || qFromBigEndian<quint32>(header) != 1
        || qFromBigEndian<quint32>(header + 4) != fourCC("mdat"))
        return Result::Unreadable;
    const quint64 movieDataSize = qFromBigEndian<quint64>(header + 8);
    // An open header covers no media yet.
    if (movieDataSize <= 16)
        return Result::Unreadable;
    return check(device, movieDataSize, QuickTimeFile::movieDataHeaderOffset + movieDataSize);
}

const char* QuickTimeMovieVerifier::reason(Result result)
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

QTLIB_END_NAMESPACE
