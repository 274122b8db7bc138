// The timecode sample of a Vesk take: the older recorders write none, so the
// repair appends one block holding the start timecode at the end of the
// recorded media and lists it in the frame map for the timecode track.

#include "quicktimefile.h"
#include "quicktimeframemapwalker.h"
#include "quicktimemoviedataatom.h"

#include <QIODevice>
#include <QtEndian>

namespace {
constexpr int blockSize = 512;
constexpr quint16 timecodeEntry = 0x8001; // kind 2, one block
}

QByteArray QuickTimeFile::timecodeSampleBlock(quint32 frameNumber)
{
    QByteArray block(blockSize, '\0');
    qToBigEndian<quint32>(frameNumber, block.data());
    return block;
}

void QuickTimeFile::appendTimecodeSample(quint32 frameNumber)
{
    using State = AppendedTimecodeSample::State;
    appendedTimecodeSample = AppendedTimecodeSample();
    if (!movieDataAtom || !frameMap || !device)
        return;

    // The slot after the last counted entry, and where the walk that builds
    // the tables will place the block's item.
    QuickTimeFrameMapWalker walker(this);
    quint64 walkEnd = mediaDataOffset;
    int kind = 0;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.next(kind, length, position))
        walkEnd = position + length;
    quint32 slot = walker.entriesWalked();
    // Kind 3 items after it that lie in the recorded media are live: their
    // entries stay, and the block's entry follows them.
    const qint64 at = device->pos();
    while (slot < frameMapCapacity) {
        const quint16 entry = qFromLittleEndian<quint16>(frameMap + 2 * quint64(slot));
        const quint64 end = walkEnd + quint64(entry & 0x3FFF) * blockSize;
        if (entry >> 14 != UnusedKind || end > quint64(at))
            break;
        walkEnd = end;
        ++slot;
    }
    // A full map has no slot left: its buffer ends there.
    if (slot >= frameMapCapacity) {
        appendedTimecodeSample.state = State::NoRoomInFrameMap;
        return;
    }

    // Nothing is written yet: the block leads the movie's own write, so no
    // write of a repair ever holds the block without the movie behind it.
    if (!device->seek(at + blockSize))
        return;
    qToLittleEndian<quint16>(timecodeEntry, frameMap + 2 * quint64(slot));
    ++timecodeSampleCount;
    movieDataAtom->size64 += blockSize;
    appendedTimecodeSample.state = State::Placed;
    appendedTimecodeSample.blockOffset = quint64(at);
    appendedTimecodeSample.walkOffset = walkEnd;
    appendedTimecodeSample.block = timecodeSampleBlock(frameNumber);
}
