#ifndef QUICKTIMECHUNKOFFSETSCAN_H
#define QUICKTIMECHUNKOFFSETSCAN_H

#include "quicktimeframemapwalker.h"

QTLIB_BEGIN_NAMESPACE

// Produces the chunk offsets of one track from the frame map: every
// samplesPerChunk-th item of the track's kind, starting with the first,
// opens a chunk at its file offset. The first and the last chunk can carry
// their own adjustment (a channel's place inside a shorter chunk), the
// others carry offsetAdjustment; the last one wins when they coincide.
class QuickTimeChunkOffsetScan
{
public:
    struct Adjustments
    {
        quint64 offset = 0;
        quint64 lastChunk = 0;
        quint64 firstChunk = 0;
    };

    QuickTimeChunkOffsetScan(const QuickTimeFile* file, int kind, quint32 samplesPerChunk,
        quint32 chunkCount, const Adjustments& adjustments);

    bool operator()(quint64& offset);

private:
    QuickTimeFrameMapWalker walker;
    int kind;
    quint32 samplesPerChunk;
    quint32 chunkCount;
    Adjustments adjustments;
    quint32 chunkIndex;
    quint32 countdown;
};

QTLIB_END_NAMESPACE

#endif
