// The timecode sample of an older-family take: its recorders write none, so
// the repair appends one block holding the start timecode at the end of the
// recorded media and lists it in the frame map for the timecode track.

#include "quicktimefile.h"
#include "veskfamily.h"

#include <QIODevice>
#include <QtDebug>

bool VeskFamily::placeLead(QuickTimeFile& file, const QByteArray& name) const
{
    FrameMap& map = file.frameMap;
    // The slot after the last counted entry, and where the walk that builds
    // the tables will place the block's item.
    quint32 slot = file.walkLimit;
    quint64 walkEnd = file.walkEnd;
    // Kind 3 items after it that lie in the recorded media are live: their
    // entries stay, and the block's entry follows them.
    const qint64 at = file.device->pos();
    while (slot < FrameMap::capacity) {
        const quint16 entry = map.entry(slot);
        const quint64 end = walkEnd + FrameMap::lengthOf(entry);
        if (FrameMap::kindOf(entry) != FrameMap::Unused || end > quint64(at))
            break;
        walkEnd = end;
        ++slot;
    }
    // A full map has no slot left: its buffer ends there.
    if (slot >= FrameMap::capacity) {
        qDebug("********************* %s frame map full, no timecode sample added!\n", name.constData());
        return true;
    }

    // Nothing is written yet: the block leads the movie's own write, so no
    // write of a repair ever holds the block without the movie behind it.
    const QByteArray block = timecodeSampleBlock(file.startTimecode);
    if (!file.device->seek(at + block.size()))
        return false;
    map.setEntry(slot, FrameMap::entryFor(FrameMap::TimecodeSample, 1));
    ++file.timecodeSampleCount;
    file.walkLimit = slot + 1;
    file.movieDataAtom.size64 += quint64(block.size());
    file.lead = block;
    file.leadOffset = quint64(at);
    // The block lies where the recorded media ends, which is further than
    // where the walk places its entry when bytes lie between the last item
    // and that end; the timecode track's last chunk offset makes up for it.
    file.lastTimecodeAdjustment = quint64(at) - walkEnd;
    return true;
}
