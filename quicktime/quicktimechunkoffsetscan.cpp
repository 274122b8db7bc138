#include "quicktimechunkoffsetscan.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeChunkOffsetScan::QuickTimeChunkOffsetScan(const QuickTimeFile* file, int kind,
    quint32 samplesPerChunk, quint32 chunkCount, const Adjustments& adjustments)
    : walker(file)
    , kind(kind)
    , samplesPerChunk(samplesPerChunk)
    , chunkCount(chunkCount)
    , adjustments(adjustments)
    , chunkIndex(0)
    , countdown(1)
{
}

bool QuickTimeChunkOffsetScan::operator()(quint64& offset)
{
    if (chunkIndex >= chunkCount)
        return false;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.nextOfKind(kind, length, position)) {
        if (--countdown != 0)
            continue;
        countdown = samplesPerChunk;
        quint64 adjustment = adjustments.offset;
        if (chunkIndex + 1 == chunkCount && adjustments.lastChunk != 0)
            adjustment = adjustments.lastChunk;
        else if (chunkIndex == 0 && adjustments.firstChunk != 0)
            adjustment = adjustments.firstChunk;
        offset = position + adjustment;
        ++chunkIndex;
        return true;
    }
    return false;
}

QTLIB_END_NAMESPACE
