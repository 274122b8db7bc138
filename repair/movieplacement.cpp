#include "movieplacement.h"

#include "itemsearch.h"
#include "mediaextent.h"
#include "quicktimefile.h"
#include "takebounds.h"

#include <QIODevice>
#include <QtDebug>

#include <algorithm>
#include <vector>

namespace {

// Past this many bytes a stretch is not read to prove it zero: the movie
// then goes behind it.
constexpr quint64 mostZerosRead = 1 << 20;

// Whether the bytes in [from, to) are all zero.
bool onlyZeros(QIODevice* device, quint64 from, quint64 to)
{
    if (to < from || to - from > mostZerosRead || !device->seek(qint64(from)))
        return false;
    std::vector<char> bytes(size_t(qMin<quint64>(to - from, 1 << 16)));
    for (quint64 at = from; at < to;) {
        const qint64 length = qint64(qMin<quint64>(to - at, bytes.size()));
        if (device->read(bytes.data(), length) != length
            || std::any_of(bytes.data(), bytes.data() + length, [](char byte) { return byte != 0; }))
            return false;
        at += quint64(length);
    }
    return true;
}

// The recorder's short last chunk counts only when the last chunk kept is
// one: a map that lagged behind may end on full chunks found after it.
void keepShortLastChunkIfLast(QuickTimeFile& file, const FrameMap::Count& whole)
{
    const quint64 full = FrameMap::wholeBlocks(file.soundChunkBytes(file.audioSamplesPerChunk));
    const quint64 last = FrameMap::wholeBlocks(file.soundChunkBytes(file.audioLastChunkSamples));
    if (file.audioLastChunkSamples == 0 || last == full)
        return;
    for (quint32 index = whole.entries; index-- > 0;) {
        const quint16 entry = file.frameMap.entry(index);
        if (FrameMap::kindOf(entry) == FrameMap::AudioChunk) {
            if (FrameMap::lengthOf(entry) != last)
                file.audioLastChunkSamples = 0;
            return;
        }
    }
}

} // namespace

namespace MoviePlacement {

bool place(QuickTimeFile& file, const QList<EarlierRepair::Form>& forms, quint32 minimumItems,
    const QByteArray& name)
{
    QIODevice* device = file.device;
    if (!device || !file.frameMap.read(device, qint64(file.profile.frameMapOffset())))
        return false;

    // Items the recorder wrote after it last updated its map join it.
    const quint64 fileSize = quint64(device->size());
    MediaExtent asItStands(file.frameMap, fileSize, file.recordedEnd);
    const FrameMap::Count recorded = asItStands.listed;
    const bool searched = !asItStands.isTorn() && ItemSearch::extend(file, recorded).videoFrames != 0;
    if (searched)
        asItStands = MediaExtent(file.frameMap, fileSize, file.recordedEnd);

    // A repair cut short before its commit left what it wrote behind the
    // media; the recorded media then ended where that repair began, and the
    // items found behind that point are its own bytes, not the take's.
    const EarlierRepair::Found earlier = EarlierRepair::find(file, forms, asItStands.listed);
    MediaExtent extent = asItStands;
    if (earlier.start != 0 && searched && earlier.whole.entries < asItStands.listed.entries) {
        file.frameMap.setEntry(qMax(recorded.entries, earlier.whole.entries), 0);
        extent = MediaExtent(file.frameMap, earlier.start, file.recordedEnd);
    } else if (earlier.start != 0) {
        extent = MediaExtent(asItStands.listed, earlier.whole, earlier.start, file.recordedEnd);
    }
    file.items = TakeItems::fromCount(recorded, extent.whole, extent.leftOutItems());
    // Fewer items than the recorder ever writes are no take worth a movie;
    // said before any line could claim the take is repaired.
    if (quint64(extent.whole.videoFrames) + extent.whole.audioChunks + extent.whole.timecodeSamples < minimumItems) {
        file.itemsBelowMinimum = qint64(extent.whole.videoFrames) + extent.whole.audioChunks + extent.whole.timecodeSamples;
        return false;
    }
    if (searched && extent.whole.videoFrames > recorded.videoFrames) {
        qDebug("********************* %s %u frame(s) and %u sound chunk(s) were found after the frame map's last entry, the take is repaired with them!\n",
            name.constData(), extent.whole.videoFrames - recorded.videoFrames,
            extent.whole.audioChunks - recorded.audioChunks);
        keepShortLastChunkIfLast(file, extent.whole);
    }
    file.videoFrameCount = extent.whole.videoFrames;
    file.audioChunkCount = extent.whole.audioChunks;
    file.timecodeSampleCount = extent.whole.timecodeSamples;
    file.walkLimit = file.frameMap.span(extent.whole, &file.walkEnd);
    // When the recorder's short last chunk is among the items left out, the
    // last one kept is a full one.
    if (extent.listed.audioChunks != extent.whole.audioChunks)
        file.audioLastChunkSamples = 0;
    file.refusal = TakeBounds::countsBreach(file);
    if (file.refusal)
        return false;
    if (extent.isTorn())
        qDebug("********************* %s %u listed items never reached the disk whole, the take is repaired without them!\n",
            name.constData(), extent.leftOutItems());
    // A movie is written over zeros only: bytes after the recorder's end that
    // are not (media its map never listed, an older take) stay, and the
    // movie goes behind them.
    if (extent.recordedEndUsable() && !onlyZeros(device, extent.movieStart(), extent.availableEnd()))
        extent.passRecordedEnd();
    if (file.recordedEnd != 0 && !extent.recordedEndUsable())
        qDebug("********************* %s recorded end %llu does not fit the recorded media, the movie goes at the end of the file!\n",
            name.constData(), static_cast<unsigned long long>(file.recordedEnd));

    file.movieDataAtom.size64 = extent.movieDataSize();
    return device->seek(qint64(extent.movieStart()));
}

} // namespace MoviePlacement

