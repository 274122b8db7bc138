#include "quicktimeframemapwalker.h"

#include "quicktimefile.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeFrameMapWalker::QuickTimeFrameMapWalker(const QuickTimeFile* file)
    : map(file ? file->frameMap : nullptr)
    , total(map ? file->frameMapEntryTotal() : 0)
    , counted(0)
    , cursor(0)
    , running(QuickTimeFile::mediaDataOffset)
{
}

bool QuickTimeFrameMapWalker::next(int& kind, quint32& length, quint64& position)
{
    if (counted >= total || cursor >= QuickTimeFile::frameMapCapacity)
        return false;
    const quint32 entry = quint32(map[2 * cursor]) | (quint32(map[2 * cursor + 1]) << 8);
    ++cursor;
    kind = int(entry >> 14);
    if (kind != QuickTimeFile::UnusedKind)
        ++counted;
    length = (entry & 0x3FFF) * 512;
    position = running;
    running += length;
    return true;
}

bool QuickTimeFrameMapWalker::nextOfKind(int wanted, quint32& length, quint64& position)
{
    int kind = 0;
    while (next(kind, length, position)) {
        if (kind == wanted)
            return true;
    }
    return false;
}

QTLIB_END_NAMESPACE
