#include "quicktimeframemapcount.h"

#include "quicktimefile.h"
#include "quicktimeframemapwalker.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeFrameMapCount QuickTimeFrameMapCount::of(const quint8* map, quint64 availableEnd)
{
    QuickTimeFrameMapCount listed;
    QuickTimeFrameMapCount whole;
    count(map, availableEnd, listed, whole);
    return whole;
}

void QuickTimeFrameMapCount::count(const quint8* map, quint64 availableEnd, QuickTimeFrameMapCount& listed,
    QuickTimeFrameMapCount& whole)
{
    listed = QuickTimeFrameMapCount();
    whole = QuickTimeFrameMapCount();
    bool allWhole = true;
    QuickTimeFrameMapWalker walker(map, QuickTimeFile::frameMapCapacity);
    int kind = 0;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.next(kind, length, position)) {
        if (kind == QuickTimeFile::AudioChunk && length == 0)
            break; // the zero entry that ends the map
        allWhole = allWhole && position + length <= availableEnd;
        listed.add(kind, length);
        if (allWhole)
            whole.add(kind, length);
    }
}

void QuickTimeFrameMapCount::add(int kind, quint32 length)
{
    switch (kind) {
    case QuickTimeFile::AudioChunk: ++audioChunks; break;
    case QuickTimeFile::VideoFrame: ++videoFrames; break;
    case QuickTimeFile::TimecodeSample: ++timecodeSamples; break;
    default: break;
    }
    ++entries;
    mediaBytes += length;
}

QTLIB_END_NAMESPACE
