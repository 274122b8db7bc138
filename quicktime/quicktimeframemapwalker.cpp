#include "quicktimeframemapwalker.h"

#include "quicktimefile.h"

QTLIB_BEGIN_NAMESPACE

static_assert(QuickTimeFile::UnusedKind == 3 && QuickTimeFile::frameMapCapacity == 5472000 / 2,
    "the walker's inline constants follow the file object's");

QuickTimeFrameMapWalker::QuickTimeFrameMapWalker(const QuickTimeFile* file)
    : map(file ? file->frameMap : nullptr)
    , total(map ? file->frameMapEntryTotal() : 0)
    , counted(0)
    , cursor(0)
    , running(QuickTimeFile::mediaDataOffset)
{
}

QuickTimeFrameMapWalker::QuickTimeFrameMapWalker(const quint8* map, quint32 total)
    : map(map)
    , total(map ? total : 0)
    , counted(0)
    , cursor(0)
    , running(QuickTimeFile::mediaDataOffset)
{
}

QTLIB_END_NAMESPACE
