#include "quicktimeframemapcount.h"

#include "quicktimefile.h"
#include "quicktimeframemapwalker.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeFrameMapCount QuickTimeFrameMapCount::of(const quint8* map, quint64 availableEnd)
{
    QuickTimeFrameMapCount count;
    QuickTimeFrameMapWalker walker(map, QuickTimeFile::frameMapCapacity);
    int kind = 0;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.next(kind, length, position)) {
        const bool endOfMap = kind == QuickTimeFile::AudioChunk && length == 0;
        if (endOfMap || position + length > availableEnd)
            break;
        switch (kind) {
        case QuickTimeFile::AudioChunk: ++count.audioChunks; break;
        case QuickTimeFile::VideoFrame: ++count.videoFrames; break;
        case QuickTimeFile::TimecodeSample: ++count.timecodeSamples; break;
        default: break;
        }
        ++count.entries;
        count.mediaBytes += length;
    }
    return count;
}

QTLIB_END_NAMESPACE
