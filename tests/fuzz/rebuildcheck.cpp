#include "rebuildcheck.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimevelloranatom.h"
#include "readbackmovie.h"
#include "recordinghead.h"
#include "recordinglayout.h"

#include <QBuffer>
#include <QtEndian>

#include <memory>

QTLIB_BEGIN_NAMESPACE

namespace {

using namespace RecordingLayout;

constexpr quint16 appendedTimecodeEntry = 0x8001;
constexpr int closingBlockSize = 512;

// The one atom of `type` below `atom`, or null when there is none or more.
template <class Atom>
const Atom* single(const QuickTimeAtom* atom, const char (&type)[5])
{
    const QList<const QuickTimeAtom*> found = atomsOfType(atom, fourCC(type));
    return found.size() == 1 ? static_cast<const Atom*>(found.first()) : nullptr;
}

quint32 settingsField(const QByteArray& file, RecorderFamily family, SettingsField field)
{
    const RecordingHead::FieldPlace place = RecordingHead::fieldPlace(family, field);
    return qFromLittleEndian<quint32>(file.constData() + RecordingHead::settingsOffset(family) + place.offset);
}

QString checkChunks(const QuickTimeSampleToChunkAtom& toChunk, const QuickTimeSampleSizeAtom& sizes,
    const QList<quint64>& offsets, quint64 samples, quint64 mediaEnd)
{
    const QList<QuickTimeSampleToChunkAtom::Entry>& runs = toChunk.entries;
    if (offsets.isEmpty())
        return samples == 0 ? QString() : QStringLiteral("%1 samples in no chunk").arg(samples);
    if (runs.isEmpty() || runs.first().firstChunk != 1)
        return QStringLiteral("the sample-to-chunk table does not start at chunk 1");
    for (qsizetype i = 0; i < runs.size(); ++i) {
        if (runs.at(i).samplesPerChunk == 0 || runs.at(i).firstChunk > quint64(offsets.size())
            || (i > 0 && runs.at(i).firstChunk <= runs.at(i - 1).firstChunk))
            return QStringLiteral("sample-to-chunk entry %1 names no chunk of samples in order").arg(i);
    }
    if (sizes.sampleSize == 0 && quint64(sizes.readSizes.size()) != samples)
        return QStringLiteral("%1 sample sizes for %2 samples").arg(sizes.readSizes.size()).arg(samples);

    quint64 sample = 0;
    qsizetype run = 0;
    for (qsizetype chunk = 1; chunk <= offsets.size(); ++chunk) {
        while (run + 1 < runs.size() && runs.at(run + 1).firstChunk <= quint64(chunk))
            ++run;
        const quint64 inChunk = runs.at(run).samplesPerChunk;
        if (sample + inChunk > samples)
            return QStringLiteral("chunk %1 holds samples past the %2 of the track").arg(chunk).arg(samples);
        quint64 bytes = inChunk * sizes.sampleSize;
        for (quint64 i = 0; sizes.sampleSize == 0 && i < inChunk; ++i)
            bytes += sizes.readSizes.at(qsizetype(sample + i));
        const quint64 offset = offsets.at(chunk - 1);
        if (offset < quint64(mediaOffset) || offset > mediaEnd || bytes > mediaEnd - offset)
            return QStringLiteral("chunk %1 at %2 (%3 bytes) lies outside the media, which ends at %4")
                .arg(chunk).arg(offset).arg(bytes).arg(mediaEnd);
        sample += inChunk;
    }
    return sample == samples ? QString() : QStringLiteral("the chunks hold %1 of %2 samples").arg(sample).arg(samples);
}

} // namespace

RebuildCheck::RebuildCheck(RecorderFamily family, const QByteArray& before, const AccessRecordingBuffer& after)
    : family(family)
    , before(before)
    , after(after)
{
    findRecordedMedia();
}

quint16 RebuildCheck::mapEntry(qint64 index) const
{
    return qFromLittleEndian<quint16>(before.constData() + RecordingHead::frameMapOffset(family) + 2 * index);
}

void RebuildCheck::findRecordedMedia()
{
    const quint64 fileSize = quint64(before.size());
    if (fileSize < quint64(mediaOffset))
        return;
    quint64 itemsEnd = quint64(mediaOffset);
    for (qint64 index = 0; index < frameMapEntries; ++index) {
        const quint16 entry = mapEntry(index);
        const quint64 end = itemsEnd + quint64(entry & 0x3FFF) * blockSize;
        if (entry == 0 || end > fileSize)
            break;
        itemsEnd = end;
        wholeEntries = index + 1;
        ++wholeCounts[entry >> 14];
    }
    const RecordingHead::FieldPlace place = RecordingHead::fieldPlace(family, SettingsField::RecordedEnd);
    const quint64 recordedEnd
        = qFromLittleEndian<quint64>(before.constData() + RecordingHead::settingsOffset(family) + place.offset);
    const bool usable = recordedEnd != 0 && recordedEnd >= itemsEnd && recordedEnd <= fileSize;
    recordedMediaEnd = usable ? recordedEnd : fileSize;
}

QString RebuildCheck::untouched() const
{
    if (!after.writes.isEmpty())
        return QStringLiteral("a take that was not repaired was written to at %1").arg(after.writes.first().first);
    if (after.data() != before)
        return QStringLiteral("a take that was not repaired changed");
    return {};
}

QString RebuildCheck::uncommitted() const
{
    // A file that ends before its media has nowhere a movie may go.
    if (recordedMediaEnd < quint64(mediaOffset))
        return untouched();
    return checkWrites(false);
}

QString RebuildCheck::checkWrites(bool headerWritten) const
{
    for (const AccessRecordingBuffer::Range& write : after.writes) {
        const bool header = headerWritten && write.first >= movieDataHeaderOffset && write.first + write.second <= mediaOffset;
        if (!header && quint64(write.first) < recordedMediaEnd)
            return QStringLiteral("wrote %1 bytes at %2, before the end of the recorded media at %3")
                .arg(write.second).arg(write.first).arg(recordedMediaEnd);
    }
    const QByteArrayView now(after.data());
    const QByteArrayView was(before);
    const qint64 mediaLength = qint64(recordedMediaEnd) - mediaOffset;
    const qint64 unchangedHead = headerWritten ? movieDataHeaderOffset : mediaOffset;
    if (now.first(unchangedHead) != was.first(unchangedHead)
        || now.sliced(mediaOffset, mediaLength) != was.sliced(mediaOffset, mediaLength))
        return QStringLiteral("the head or the recorded media changed");
    return {};
}

QString RebuildCheck::repaired()
{
    if (recordedMediaEnd < quint64(mediaOffset))
        return QStringLiteral("a file without media was repaired");
    const QByteArray& bytes = after.data();
    const QByteArray header = bytes.mid(movieDataHeaderOffset, 16);
    if (header.size() != 16 || header.left(8) != QByteArray::fromHex("000000016d646174"))
        return QStringLiteral("the movie data header is gone");
    movieStart = movieDataHeaderOffset + qFromBigEndian<quint64>(header.constData() + 8);
    if (const QString broken = checkWrites(true); !broken.isEmpty())
        return broken;

    // The older family's repair puts a timecode sample block first, unless
    // the frame map has no room left to list it.
    const bool blockAppended = family == RecorderFamily::Vesk && movieStart == recordedMediaEnd + blockSize;
    if (movieStart != recordedMediaEnd && !blockAppended)
        return QStringLiteral("the movie starts at %1, the recorded media ends at %2").arg(movieStart).arg(recordedMediaEnd);
    if (blockAppended) {
        QByteArray block(blockSize, '\0');
        qToBigEndian<quint32>(settingsField(before, family, SettingsField::StartTimecode), block.data());
        if (bytes.mid(qsizetype(recordedMediaEnd), blockSize) != block)
            return QStringLiteral("the timecode sample block is not the start timecode");
    }

    const QByteArray movieHeader = bytes.mid(qsizetype(movieStart), 8);
    movieSize = movieHeader.size() == 8 ? qFromBigEndian<quint32>(movieHeader.constData()) : 0;
    if (movieHeader.mid(4) != "moov" || movieStart + movieSize > quint64(bytes.size()))
        return QStringLiteral("no movie atom where the movie data ends");
    QByteArray data = bytes;
    QBuffer reading(&data);
    reading.open(QIODevice::ReadOnly);
    std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(&reading, movieStart, movieSize));
    if (!tree || tree->children.size() != 1)
        return QStringLiteral("the movie atom does not parse");
    if (family == RecorderFamily::Orla && bytes.mid(qsizetype(movieStart + movieSize), closingBlockSize) != QByteArray(closingBlockSize, '\0'))
        return QStringLiteral("no zero block closes the movie");

    return checkVendorAtom(tree->children.first());
}

QString RebuildCheck::checkTrack(const QuickTimeAtom* track, TrackSummary& summary) const
{
    for (const QuickTimeAtom* atom : atomsOfType(track, fourCC("hdlr"))) {
        const auto* handler = static_cast<const QuickTimeHandlerReferenceAtom*>(atom);
        if (handler->componentType == fourCC("mhlr"))
            summary.handler = handler->componentSubtype;
    }
    const auto* times = single<QuickTimeTimeToSampleAtom>(track, "stts");
    const auto* toChunk = single<QuickTimeSampleToChunkAtom>(track, "stsc");
    const auto* sizes = single<QuickTimeSampleSizeAtom>(track, "stsz");
    const auto* offsets = single<QuickTimeChunkOffset64Atom>(track, "co64");
    if (!times || !toChunk || !sizes || !offsets)
        return QStringLiteral("a track without its four sample tables");
    quint64 samples = 0;
    for (const QuickTimeTimeToSampleAtom::Entry& entry : times->entries)
        samples += entry.sampleCount;
    if (samples != sizes->sampleCount)
        return QStringLiteral("%1 samples timed, %2 sized").arg(samples).arg(sizes->sampleCount);
    summary.samples = samples;
    summary.chunks = quint64(offsets->readOffsets.size());
    return checkChunks(*toChunk, *sizes, offsets->readOffsets, samples, movieStart);
}

QString RebuildCheck::checkVendorAtom(const QuickTimeAtom* movie) const
{
    const auto* vendor = single<QuickTimeVelloranAtom>(movie, "vrln");
    if (!vendor || quint64(vendor->readEntries.size()) != vendor->entryCount)
        return QStringLiteral("no vendor atom with its frame map copy");

    // The copy is the map up to its last counted entry, kind 3 ones kept,
    // with the older family's appended timecode entry right after the
    // last live one, never in place of one.
    const qint64 copied = vendor->readEntries.size();
    const bool appended = family == RecorderFamily::Vesk && movieStart == recordedMediaEnd + blockSize;
    if (appended && (copied != wholeEntries + 1 || vendor->readEntries.last() != appendedTimecodeEntry))
        return QStringLiteral("the timecode entry is entry %1 of the copy, the map's live entries end at %2")
            .arg(copied - 1).arg(wholeEntries);
    if (!appended && copied > wholeEntries)
        return QStringLiteral("the vendor atom copies %1 entries, %2 are live").arg(copied).arg(wholeEntries);
    quint64 counts[4] = {};
    for (qint64 i = 0; i < copied; ++i) {
        const quint16 entry = vendor->readEntries.at(i);
        ++counts[entry >> 14];
        if (i < wholeEntries && entry != mapEntry(i))
            return QStringLiteral("vendor entry %1 is %2, the map's is %3").arg(i).arg(entry).arg(mapEntry(i));
    }
    const quint64 appendedCount = appended ? 1 : 0;
    if (counts[0] != wholeCounts[0] || counts[1] != wholeCounts[1] || counts[2] != wholeCounts[2] + appendedCount)
        return QStringLiteral("the vendor atom's copy leaves out counted entries of the map");
    if (vendor->audioChunkCount != counts[0] || vendor->videoFrameCount != counts[1]
        || vendor->timecodeSampleCount != counts[2])
        return QStringLiteral("the vendor atom's counts disagree with its copy");

    return checkTracksAgainst(movie, counts);
}

QString RebuildCheck::checkTracksAgainst(const QuickTimeAtom* movie, const quint64 (&counts)[4]) const
{
    // Every track agrees with the counts: the walks that built them saw the same map.
    QList<TrackSummary> video;
    QList<TrackSummary> sound;
    QList<TrackSummary> timecode;
    for (const QuickTimeAtom* track : movie->children) {
        if (track->type != fourCC("trak"))
            continue;
        TrackSummary summary;
        if (const QString broken = checkTrack(track, summary); !broken.isEmpty())
            return broken;
        (summary.handler == fourCC("vide") ? video : summary.handler == fourCC("soun") ? sound : timecode).append(summary);
    }
    const quint64 channels = counts[0] == 0 ? 0 : settingsField(before, family, SettingsField::AudioChannelCount);
    if (video.size() != (counts[1] > 0 ? 1 : 0) || (counts[1] > 0 && video.first().samples != counts[1]))
        return QStringLiteral("the video track does not hold the %1 frames").arg(counts[1]);
    if (timecode.size() != (counts[2] > 0 ? 1 : 0) || (counts[2] > 0 && timecode.first().samples != counts[2]))
        return QStringLiteral("the timecode track does not hold the %1 samples").arg(counts[2]);
    if (quint64(sound.size()) != channels)
        return QStringLiteral("%1 sound tracks for %2 channels").arg(sound.size()).arg(channels);
    for (const TrackSummary& track : sound) {
        if (track.chunks != counts[0])
            return QStringLiteral("a sound track of %1 chunks, the map lists %2").arg(track.chunks).arg(counts[0]);
    }
    return {};
}

QTLIB_END_NAMESPACE
