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

void QuickTimeFile::appendTimecodeSample(quint32 frameNumber)
{
    using State = AppendedTimecodeSample::State;
    appendedTimecodeSample = AppendedTimecodeSample();
    char block[blockSize] = {};
    qToBigEndian<quint32>(frameNumber, block);
    if (!movieDataAtom || !frameMap)
        return;

    // The slot right after the last counted entry, and where the walk that
    // builds the tables will place the block's item.
    QuickTimeFrameMapWalker walker(this);
    quint32 slot = 0;
    quint64 walkEnd = mediaDataOffset;
    int kind = 0;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.next(kind, length, position)) {
        ++slot;
        walkEnd = position + length;
    }
    // A full map has no slot left: its buffer ends there.
    if (slot >= frameMapCapacity) {
        appendedTimecodeSample.state = State::NoRoomInFrameMap;
        return;
    }
    qToLittleEndian<quint16>(timecodeEntry, frameMap + 2 * quint64(slot));
    ++timecodeSampleCount;

    const qint64 at = device->pos();
    if (device->write(block, blockSize) != blockSize)
        return;
    movieDataAtom->size64 += blockSize;
    appendedTimecodeSample.state = State::Written;
    appendedTimecodeSample.blockOffset = quint64(at);
    appendedTimecodeSample.walkOffset = walkEnd;
}
