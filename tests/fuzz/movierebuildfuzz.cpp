// The movie rebuild of both families through the one repair flow, on a take
// in memory made from the input; then ambrel-cli --dump over what the repair
// left, as a person checking the take would run it.
//
// The input, little-endian, missing bytes reading as zero:
//   u8  family         bit 0: 0 the newer (Orla), 1 the older (Vesk)
//   settings block     the family's 120 or 108 bytes, as they stand in the head
//   u8  shape          bit 0: the movie data header is closed, sized to the media
//                      bit 1: recordedEnd is moved inside the media, to the
//                             point its value gives modulo the media length + 1
//                      bit 2: behind the items the map lists, ProRes frame
//                             headers of the take's picture size, the fill
//                             entry's length each, with a gap of its top byte
//                             in blocks after every third: items to find
//                      bit 3: with bit 2, the gaps are runs of one to three
//                             sound chunks of the settings' full length
//   u16 fill entry     repeated after the leading entries
//   u32 fill count     bits 31-5 shifted right by bits 4-0: most runs are
//                      short, and a full map is still one input away
//   u32 media length   bytes of media after the head, at most mostMedia
//   u16 leading count  entries before the fill; the input's later entries follow it
//   u16 entries        to the end of the input (those past the map are dropped)

#include "fuzzentries.h"

#include "accessrecordingbuffer.h"
#include "cli/moviedump.h"
#include "cli/takecheck.h"
#include "messagecatcher.h"
#include "movieverifier.h"
#include "orlafamily.h"
#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimevelloranatom.h"
#include "recordinghead.h"
#include "recordinglayout.h"
#include "veskfamily.h"
#include "videorepair.h"

#include <QBuffer>
#include <QTextStream>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace RecordingLayout;
using Outcome = VideoRepair::Outcome;

constexpr qint64 mostMedia = 1 << 20;
// A second run parses the whole movie again: only for movies up to this
// size, so that runs over full frame maps stay quick.
constexpr quint64 largestMovieRunAgain = 1 << 20;
constexpr quint16 appendedTimecodeEntry = 0x8001;

// --- the take ---------------------------------------------------------------

class InputReader
{
public:
    explicit InputReader(const QByteArray& input) : input(input) {}

    QByteArray bytes(qsizetype count)
    {
        QByteArray taken = input.mid(at, count);
        at += count;
        taken.resize(count, '\0');
        return taken;
    }
    template <class Number>
    Number number() { return qFromLittleEndian<Number>(bytes(qsizetype(sizeof(Number))).constData()); }
    bool atEnd() const { return at >= input.size(); }

private:
    const QByteArray& input;
    qsizetype at = 0;
};

// Recorded media: a pattern no repair would write.
QByteArrayView media(qint64 length)
{
    static const QByteArray pattern = [] {
        QByteArray bytes(mostMedia, Qt::Uninitialized);
        for (qint64 i = 0; i < bytes.size(); ++i)
            bytes.data()[i] = char(0x5A ^ (i * 13 & 0xFF));
        return bytes;
    }();
    return QByteArrayView(pattern).first(length);
}

// A full sound chunk of the settings in whole blocks, 0 when none fits an item.
qint64 fullChunkBytes(RecorderFamily family, const QByteArray& settings)
{
    const auto field = [&](SettingsField name) {
        return quint64(qFromLittleEndian<quint32>(settings.constData() + RecordingHead::fieldPlace(family, name).offset));
    };
    const quint64 samples = family == RecorderFamily::Vesk ? 3072 : field(SettingsField::AudioSamplesPerChunk);
    const quint64 bytes = qMin<quint64>(field(SettingsField::AudioChannelCount), 64)
        * qMin<quint64>(field(SettingsField::AudioBytesPerSample), 4) * qMin<quint64>(samples, 1 << 24);
    return bytes <= 0x3FFF * blockSize ? blocksFor(qint64(bytes)) * blockSize : 0;
}

// Frames the recorder wrote after it last updated its map, as far as the media reaches.
void stampFrames(QByteArray& file, const char* map, const QByteArray& settings, quint16 fillEntry, qint64 chunkBytes)
{
    qint64 at = mediaOffset;
    for (qint64 i = 0; i < frameMapEntries && qFromLittleEndian<quint16>(map + 2 * i) != 0; ++i)
        at += (qFromLittleEndian<quint16>(map + 2 * i) & 0x3FFF) * blockSize;
    const qint64 frameBytes = qMax<qint64>(1, fillEntry & 0xFF) * blockSize;
    const qint64 gap = chunkBytes != 0 ? (1 + (fillEntry >> 8) % 3) * chunkBytes : (fillEntry >> 8) * blockSize;
    QByteArray header(20, '\0');
    qToBigEndian<quint32>(quint32(frameBytes - 7), header.data());
    header.replace(4, 4, "icpf");
    qToBigEndian<quint16>(148, header.data() + 8);
    header.replace(16, 4, settings.mid(40, 4)); // width and height, as the block gives them
    std::swap(header.data()[16], header.data()[17]);
    std::swap(header.data()[18], header.data()[19]);
    for (int frame = 0; at >= mediaOffset && at + header.size() <= file.size(); ++frame) {
        file.replace(at, header.size(), header);
        at += frameBytes + (frame % 3 == 2 ? gap : 0);
    }
}

QByteArray takeFrom(InputReader& in, RecorderFamily family)
{
    QByteArray settings = in.bytes(RecordingHead::settingsSize(family));
    const quint8 shape = in.number<quint8>();
    const quint16 fillEntry = in.number<quint16>();
    const quint32 fillField = in.number<quint32>();
    const qint64 mediaLength = qint64(in.number<quint32>() % quint32(mostMedia + 1));
    const quint16 leadingCount = in.number<quint16>();
    if (shape & 2) {
        const int at = RecordingHead::fieldPlace(family, SettingsField::RecordedEnd).offset;
        const quint64 given = qFromLittleEndian<quint64>(settings.constData() + at);
        qToLittleEndian<quint64>(quint64(mediaOffset) + given % quint64(mediaLength + 1), settings.data() + at);
    }

    QByteArray file = RecordingHead::head(TakeDescription::forFamily(family), settings, {});
    file.reserve(file.size() + mediaLength);
    char* map = file.data() + RecordingHead::frameMapOffset(family);
    qint64 used = 0;
    const auto append = [&](quint16 entry) {
        if (used < frameMapEntries)
            qToLittleEndian<quint16>(entry, map + 2 * used++);
    };
    for (quint16 i = 0; i < leadingCount && !in.atEnd(); ++i)
        append(in.number<quint16>());
    // The fill by doubling copies: a full map in a few dozen steps.
    const qint64 fill = qMin<qint64>((fillField >> 5) >> (fillField & 31), frameMapEntries - used);
    if (fill > 0) {
        qToLittleEndian<quint16>(fillEntry, map + 2 * used);
        for (qint64 done = 1; done < fill; done *= 2)
            std::memcpy(map + 2 * (used + done), map + 2 * used, size_t(2 * qMin(done, fill - done)));
        used += fill;
    }
    while (!in.atEnd())
        append(in.number<quint16>());
    if (shape & 1)
        qToBigEndian<quint64>(quint64(16 + mediaLength), file.data() + movieDataHeaderOffset + 8);
    file.append(media(mediaLength));
    if (shape & 4)
        stampFrames(file, map, settings, fillEntry, (shape & 8) ? fullChunkBytes(family, settings) : 0);
    return file;
}

// --- what a repair may leave, read from the bytes alone ---------------------

// The atoms of `type` below `atom`, depth first.
QList<const QuickTimeAtom*> atoms(const QuickTimeAtom* atom, quint32 type)
{
    QList<const QuickTimeAtom*> found;
    for (const QuickTimeAtom* child : atom->children) {
        if (child->type == type)
            found.append(child);
        found += atoms(child, type);
    }
    return found;
}

// The one atom of `type` below `atom`, or null when there is none or more.
template <class Atom>
const Atom* single(const QuickTimeAtom* atom, const char (&type)[5])
{
    const QList<const QuickTimeAtom*> found = atoms(atom, fourCC(type));
    return found.size() == 1 ? static_cast<const Atom*>(found.first()) : nullptr;
}

// A table read back from a file holds its entries in a list.
const QList<quint64>& values(const QuickTimeEntrySourcePointer& source)
{
    return static_cast<const QuickTimeListSource&>(*source).values;
}

class RebuildCheck
{
public:
    RebuildCheck(RecorderFamily family, const QByteArray& before, const AccessRecordingBuffer& after)
        : family(family), before(before), after(after)
    {
        // Where the recorded media ends by the recorder's note and the frame
        // map: what a repair may not write below.
        const quint64 fileSize = quint64(before.size());
        if (fileSize < quint64(mediaOffset))
            return;
        quint64 itemsEnd = mediaOffset;
        for (qint64 index = 0; index < frameMapEntries; ++index) {
            const quint16 entry = mapEntry(index);
            const quint64 end = itemsEnd + quint64(entry & 0x3FFF) * blockSize;
            if (entry == 0 || end > fileSize)
                break;
            itemsEnd = end;
            wholeEntries = index + 1;
            ++wholeCounts[entry >> 14];
        }
        listedEntries = wholeEntries;
        recordedMediaEnd = mediaEndAfter(itemsEnd);
    }

    // Not one byte written.
    QString untouched() const
    {
        if (!after.writes.isEmpty() || after.data() != before)
            return QStringLiteral("a take that was not repaired was written to");
        return {};
    }

    // Only bytes after the recorded media written, the movie data header
    // still open (a file that ends before its media has no room for a movie).
    QString uncommitted() const
    {
        return recordedMediaEnd < quint64(mediaOffset) ? untouched() : checkWrites(false);
    }

    // Only the movie data header and bytes after the recorded media written;
    // a movie the library reads right behind the media data, every table
    // within the media and agreeing with the frame map and the vendor atom.
    QString repaired()
    {
        if (recordedMediaEnd < quint64(mediaOffset))
            return QStringLiteral("a file without media was repaired");
        const QByteArray& bytes = after.data();
        const QByteArray header = bytes.mid(movieDataHeaderOffset, 16);
        if (header.size() != 16 || header.left(8) != QByteArray::fromHex("000000016d646174"))
            return QStringLiteral("the movie data header is gone");
        movieStart = movieDataHeaderOffset + qFromBigEndian<quint64>(header.constData() + 8);
        if (const QString broken = takeFoundItems(bytes); !broken.isEmpty())
            return broken;
        if (const QString broken = checkWrites(true); !broken.isEmpty())
            return broken;

        // The older family's repair puts a timecode sample block first,
        // unless the frame map has no room left to list it.
        appended = family == RecorderFamily::Vesk && movieStart == recordedMediaEnd + blockSize;
        if (movieStart != recordedMediaEnd && !appended)
            return QStringLiteral("the movie starts at %1, the media ends at %2").arg(movieStart).arg(recordedMediaEnd);
        if (appended) {
            QByteArray block(blockSize, '\0');
            qToBigEndian<quint32>(quint32(settingsField(SettingsField::StartTimecode, 4)), block.data());
            if (bytes.mid(qsizetype(recordedMediaEnd), blockSize) != block)
                return QStringLiteral("the timecode sample block is not the start timecode");
        }
        const QByteArray movieHeader = bytes.mid(qsizetype(movieStart), 8);
        movieSize = movieHeader.size() == 8 ? qFromBigEndian<quint32>(movieHeader.constData()) : 0;
        if (movieHeader.mid(4) != "moov" || movieStart + movieSize > quint64(bytes.size()))
            return QStringLiteral("no movie atom where the movie data ends");
        QBuffer reading;
        reading.setData(bytes);
        reading.open(QIODevice::ReadOnly);
        const std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(&reading, movieStart, movieSize));
        if (!tree || tree->children.size() != 1)
            return QStringLiteral("the movie atom does not parse");
        if (family == RecorderFamily::Orla && bytes.mid(qsizetype(movieStart + movieSize), 512) != QByteArray(512, '\0'))
            return QStringLiteral("no zero block closes the movie");
        return checkVendorAtom(tree->children.first());
    }

    quint64 movieAtomSize() const { return movieSize; }

    // The frame map read no further than the block that holds its end.
    QString mapReadToItsEnd() const
    {
        const qint64 mapStart = RecordingHead::frameMapOffset(family);
        qint64 entries = 0;
        while (entries < frameMapEntries && mapEntry(entries) != 0)
            ++entries;
        const qint64 blocks = (2 * (entries + 1) + FrameMap::readBlock - 1) / FrameMap::readBlock;
        const qint64 mapEnd = mapStart + qMin(frameMapBytes, blocks * FrameMap::readBlock);
        for (const AccessRecordingBuffer::Range& read : after.reads) {
            if (read.first < mapStart + frameMapBytes && read.first + read.second > mapEnd)
                return QStringLiteral("read %1 bytes at %2, past the frame map's end at %3").arg(read.second).arg(read.first).arg(mapEnd);
        }
        return {};
    }

private:
    // Items the repair found behind those the map lists join its copy in
    // the vendor atom: each one whole in the file and not over the movie,
    // a frame only where a frame header starts; the recorded media then
    // reach at least to their end.
    QString takeFoundItems(const QByteArray& bytes)
    {
        const QByteArray movieHeader = bytes.mid(qsizetype(movieStart), 8);
        if (movieHeader.size() != 8 || movieHeader.mid(4) != "moov")
            return {};
        QBuffer reading;
        reading.setData(bytes);
        reading.open(QIODevice::ReadOnly);
        const std::unique_ptr<QuickTimeAtom> tree(
            QuickTimeAtomReader::readTree(&reading, movieStart, qFromBigEndian<quint32>(movieHeader.constData())));
        const auto* vendor = tree ? single<QuickTimeVelloranAtom>(tree.get(), "vrln") : nullptr;
        const QList<quint64>& copy = vendor ? values(vendor->entries) : QList<quint64>();
        quint64 end = mediaOffset;
        for (qint64 i = 0; i < wholeEntries; ++i)
            end += (mapEntry(i) & 0x3FFF) * blockSize;
        const bool appendedLast = family == RecorderFamily::Vesk && !copy.isEmpty() && copy.last() == appendedTimecodeEntry;
        const qint64 found = copy.size() - wholeEntries - (appendedLast ? 1 : 0);
        for (qint64 i = wholeEntries; i < wholeEntries + found; ++i) {
            const quint64 entry = copy.at(i);
            const quint64 itemEnd = end + (entry & 0x3FFF) * blockSize;
            const bool frameHeader = before.mid(qsizetype(end) + 4, 4) == "icpf"
                || before.mid(qsizetype(end), 4) == QByteArray::fromHex("00000280");
            if ((entry >> 14) == 3 || itemEnd > quint64(before.size()) || itemEnd > movieStart
                || ((entry >> 14) == 1 && !frameHeader))
                return QStringLiteral("found item %1 (entry %2) at %3 is no item of the take").arg(i).arg(entry).arg(end);
            ++wholeCounts[entry >> 14];
            end = itemEnd;
        }
        if (found > 0) {
            wholeEntries += found;
            recordedMediaEnd = mediaEndAfter(end);
        }
        return {};
    }

    // The recorder's end when it lies between the items' end and the end of
    // the file with only zeros (at most a megabyte) after it, else the end
    // of the file: a movie goes over zeros only.
    quint64 mediaEndAfter(quint64 itemsEnd) const
    {
        const quint64 fileSize = quint64(before.size());
        const quint64 noted = settingsField(SettingsField::RecordedEnd, 8);
        const bool usable = noted != 0 && noted >= itemsEnd && noted <= fileSize && fileSize - noted <= (1 << 20);
        return usable && std::all_of(before.constData() + noted, before.constData() + fileSize, [](char byte) { return byte == 0; })
            ? noted : fileSize;
    }

    quint16 mapEntry(qint64 index) const
    {
        return qFromLittleEndian<quint16>(before.constData() + RecordingHead::frameMapOffset(family) + 2 * index);
    }
    quint64 settingsField(SettingsField field, int width) const
    {
        const char* at = before.constData() + RecordingHead::settingsOffset(family)
            + RecordingHead::fieldPlace(family, field).offset;
        return width == 8 ? qFromLittleEndian<quint64>(at) : qFromLittleEndian<quint32>(at);
    }

    QString checkWrites(bool headerWritten) const
    {
        for (const AccessRecordingBuffer::Range& write : after.writes) {
            const bool header = headerWritten && write.first >= movieDataHeaderOffset && write.first + write.second <= mediaOffset;
            if (!header && quint64(write.first) < recordedMediaEnd)
                return QStringLiteral("wrote %1 bytes at %2, before the end of the recorded media at %3")
                    .arg(write.second).arg(write.first).arg(recordedMediaEnd);
        }
        const QByteArrayView now(after.data());
        const qint64 unchangedHead = headerWritten ? movieDataHeaderOffset : mediaOffset;
        const qint64 mediaLength = qint64(recordedMediaEnd) - mediaOffset;
        if (now.first(unchangedHead) != QByteArrayView(before).first(unchangedHead)
            || now.sliced(mediaOffset, mediaLength) != QByteArrayView(before).sliced(mediaOffset, mediaLength))
            return QStringLiteral("the head or the recorded media changed");
        return {};
    }

    QString checkVendorAtom(const QuickTimeAtom* movie) const
    {
        const auto* vendor = single<QuickTimeVelloranAtom>(movie, "vrln");
        const QList<quint64>& copy = vendor ? values(vendor->entries) : QList<quint64>();
        if (!vendor || quint64(copy.size()) != vendor->entryCount)
            return QStringLiteral("no vendor atom with its frame map copy");
        // The map up to its last counted entry, kind 3 ones kept, with the
        // older family's appended timecode entry right after the last live
        // one, never in place of one.
        if (appended && (copy.size() != wholeEntries + 1 || copy.last() != appendedTimecodeEntry))
            return QStringLiteral("the timecode entry is entry %1 of the copy, the live entries end at %2")
                .arg(copy.size() - 1).arg(wholeEntries);
        if (!appended && copy.size() > wholeEntries)
            return QStringLiteral("the vendor atom copies %1 entries, %2 are live").arg(copy.size()).arg(wholeEntries);
        quint64 counts[4] = {};
        for (qsizetype i = 0; i < copy.size(); ++i) {
            ++counts[(copy.at(i) >> 14) & 3];
            if (i < listedEntries && copy.at(i) != mapEntry(i))
                return QStringLiteral("vendor entry %1 is %2, the map's is %3").arg(i).arg(copy.at(i)).arg(mapEntry(i));
        }
        if (counts[0] != wholeCounts[0] || counts[1] != wholeCounts[1] || counts[2] != wholeCounts[2] + (appended ? 1 : 0))
            return QStringLiteral("the vendor atom's copy leaves out counted entries of the map");
        if (vendor->audioChunkCount != counts[0] || vendor->videoFrameCount != counts[1]
            || vendor->timecodeSampleCount != counts[2])
            return QStringLiteral("the vendor atom's counts disagree with its copy");

        // Every track agrees with the counts: the walks that built them saw the same map.
        QList<quint64> soundChunks;
        // Tracks and their samples by kind: video, timecode, sound.
        quint64 tracks[3] = {};
        quint64 samples[3] = {};
        for (const QuickTimeAtom* track : atoms(movie, fourCC("trak"))) {
            quint64 trackSamples = 0;
            quint64 chunks = 0;
            if (const QString broken = checkTables(track, trackSamples, chunks); !broken.isEmpty())
                return broken;
            // By the media information header: video, sound, or the base one of a timecode track.
            const int kind = single<QuickTimeAtom>(track, "vmhd") ? 0 : single<QuickTimeAtom>(track, "smhd") ? 2 : 1;
            if (kind == 2)
                soundChunks.append(chunks);
            samples[kind] = trackSamples;
            ++tracks[kind];
        }
        if (tracks[0] != (counts[1] > 0 ? 1 : 0) || samples[0] != counts[1])
            return QStringLiteral("the video track does not hold the %1 frames").arg(counts[1]);
        if (tracks[1] != (counts[2] > 0 ? 1 : 0) || samples[1] != counts[2])
            return QStringLiteral("the timecode track does not hold the %1 samples").arg(counts[2]);
        const quint64 channels = counts[0] == 0 ? 0 : settingsField(SettingsField::AudioChannelCount, 4);
        if (quint64(soundChunks.size()) != channels || soundChunks.count(counts[0]) != soundChunks.size())
            return QStringLiteral("%1 sound tracks for %2 channels of %3 chunks").arg(soundChunks.size()).arg(channels).arg(counts[0]);
        return {};
    }

    // The four sample tables of a track: as many samples timed as sized,
    // every sample in exactly one chunk, every chunk inside the media.
    QString checkTables(const QuickTimeAtom* track, quint64& samples, quint64& chunks) const
    {
        const auto* times = single<QuickTimeTimeToSampleAtom>(track, "stts");
        const auto* toChunk = single<QuickTimeSampleToChunkAtom>(track, "stsc");
        const auto* sizes = single<QuickTimeSampleSizeAtom>(track, "stsz");
        const auto* offsetAtom = single<QuickTimeChunkOffsetAtom>(track, "co64");
        if (!times || !toChunk || !sizes || !offsetAtom)
            return QStringLiteral("a track without its four sample tables");
        for (const QuickTimeTimeToSampleAtom::Entry& entry : times->entries)
            samples += entry.sampleCount;
        const QList<quint64>& sampleSizes = values(sizes->sizes);
        const QList<quint64>& offsets = values(offsetAtom->offsets);
        const QList<QuickTimeSampleToChunkAtom::Entry>& runs = toChunk->entries;
        chunks = quint64(offsets.size());
        if (samples != sizes->sampleCount || (sizes->sampleSize == 0 && quint64(sampleSizes.size()) != samples))
            return QStringLiteral("%1 samples timed, %2 sized").arg(samples).arg(sizes->sampleCount);
        if (offsets.isEmpty())
            return samples == 0 ? QString() : QStringLiteral("%1 samples in no chunk").arg(samples);
        if (runs.isEmpty() || runs.first().firstChunk != 1)
            return QStringLiteral("the sample-to-chunk table does not start at chunk 1");
        for (qsizetype i = 0; i < runs.size(); ++i) {
            if (runs.at(i).samplesPerChunk == 0 || runs.at(i).firstChunk > chunks
                || (i > 0 && runs.at(i).firstChunk <= runs.at(i - 1).firstChunk))
                return QStringLiteral("sample-to-chunk entry %1 names no chunk of samples in order").arg(i);
        }
        quint64 sample = 0;
        qsizetype run = 0;
        for (qsizetype chunk = 1; chunk <= offsets.size(); ++chunk) {
            while (run + 1 < runs.size() && runs.at(run + 1).firstChunk <= quint64(chunk))
                ++run;
            const quint64 inChunk = runs.at(run).samplesPerChunk;
            if (sample + inChunk > samples)
                return QStringLiteral("chunk %1 holds samples past the %2 of the track").arg(chunk).arg(samples);
            quint64 bytes = inChunk * sizes->sampleSize;
            for (quint64 i = 0; sizes->sampleSize == 0 && i < inChunk; ++i)
                bytes += sampleSizes.at(qsizetype(sample + i));
            const quint64 offset = offsets.at(chunk - 1);
            if (offset < quint64(mediaOffset) || offset > movieStart || bytes > movieStart - offset)
                return QStringLiteral("chunk %1 at %2 (%3 bytes) lies outside the media, which ends at %4")
                    .arg(chunk).arg(offset).arg(bytes).arg(movieStart);
            sample += inChunk;
        }
        return sample == samples ? QString() : QStringLiteral("the chunks hold %1 of %2 samples").arg(sample).arg(samples);
    }

    RecorderFamily family;
    const QByteArray& before;
    const AccessRecordingBuffer& after;
    // The listed items that lie wholly in the file, from the first: their
    // entries (kind 3 ones included) and the counted ones of each kind.
    qint64 wholeEntries = 0;
    qint64 listedEntries = 0; // the whole ones the map itself lists
    quint64 wholeCounts[4] = {};
    quint64 recordedMediaEnd = 0;
    quint64 movieStart = 0;
    quint64 movieSize = 0;
    bool appended = false;
};

// --- the run ----------------------------------------------------------------

Outcome repair(const TakeFamily& family, QIODevice* device, VideoRepair::Details* details = nullptr)
{
    // One frame map buffer serves every run, as the scanner's does.
    static std::vector<quint8> frameMap(FrameMap::byteSize);
    return VideoRepair::run(family, device, frameMap.data(), QByteArrayLiteral("A001.vlv"), details);
}

// A scan reads the settings block alone: it must name the picture the
// repair found, and a repaired take's result must hold its counts.
QString checkResult(const TakeFamily& family, const QByteArray& before, Outcome outcome, const VideoRepair::Details& details)
{
    QBuffer head;
    head.setData(before);
    head.open(QIODevice::ReadOnly);
    const RecordedFormat listed = RecordedFormat::fromSettingsBlock(&head, family.profile());
    const RecordedFormat& repaired = details.recorded;
    if (!repaired.codec.isEmpty()
        && (listed.codec != repaired.codec || listed.width != repaired.width || listed.rateText() != repaired.rateText()))
        return QStringLiteral("a scan sees %1, the repair %2").arg(listed.summary(), repaired.summary());
    if (outcome == Outcome::Repaired && (!details.items.counted || repaired.durationText().isEmpty()))
        return QStringLiteral("a repaired take's result holds no counts or no length");
    return {};
}

// A take before or after its repair, whatever it is, through the dump and
// --check (on a device they cannot write): both must end.
void dump(const QByteArray& bytes, const QString& name)
{
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    QString text;
    QTextStream out(&text);
    MovieDump::print(file, out);
    TakeCheck::print(file, name, out);
}

QString checkRepair(const QByteArray& input, const MessageCatcher& messages)
{
    InputReader in(input);
    const bool older = in.number<quint8>() & 1;
    const RecorderFamily family = older ? RecorderFamily::Vesk : RecorderFamily::Orla;
    const TakeFamily& repairs = older ? static_cast<const TakeFamily&>(VeskFamily::instance()) : OrlaFamily::instance();
    const QByteArray before = takeFrom(in, family);
    dump(before, QStringLiteral("A001.vlv"));
    AccessRecordingBuffer recording(before);
    VideoRepair::Details details;
    const Outcome outcome = repair(repairs, &recording, &details);
    dump(recording.data(), QStringLiteral("A001.mov"));
    if (const QString wrong = checkResult(repairs, before, outcome, details); !wrong.isEmpty())
        return wrong;
    RebuildCheck check(family, before, recording);
    if (const QString broken = check.mapReadToItsEnd(); !broken.isEmpty())
        return broken;
    // On a device that keeps every write, the repair's own read-back check
    // refuses only a movie the repair built wrong.
    for (auto result = int(MovieVerifier::Result::Unreadable); result <= int(MovieVerifier::Result::OutsideMedia); ++result) {
        const char* reason = MovieVerifier::reason(MovieVerifier::Result(result));
        if (!messages.lines.filter(QStringLiteral("recovery failed, %1!").arg(QLatin1String(reason))).isEmpty())
            return QStringLiteral("the read-back check refused the rebuilt movie: ") + QLatin1String(reason);
    }
    // Refused, or nothing to repair: not a byte written. A rebuild that
    // failed once writing began leaves its movie uncommitted behind the media.
    if (outcome == Outcome::RebuildFailed || outcome == Outcome::Unfinished)
        return check.uncommitted();
    if (outcome != Outcome::Repaired)
        return check.untouched();
    if (const QString broken = check.repaired(); !broken.isEmpty())
        return broken;

    // A later run leaves the repaired movie as it is.
    if (check.movieAtomSize() > largestMovieRunAgain)
        return {};
    const QByteArray repaired = recording.data();
    AccessRecordingBuffer again(repaired);
    const Outcome second = repair(repairs, &again);
    if (second == Outcome::Repaired || second == Outcome::RebuildFailed)
        return QStringLiteral("a second run repaired the repaired movie again");
    return RebuildCheck(family, repaired, again).untouched();
}

} // namespace

QString fuzzMovieRebuild(const QByteArray& input)
{
    return MessageCatcher::brokenInvariant(checkRepair, input);
}
