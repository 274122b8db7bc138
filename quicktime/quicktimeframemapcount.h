#ifndef QUICKTIMEFRAMEMAPCOUNT_H
#define QUICKTIMEFRAMEMAPCOUNT_H

#include "variant.h"

#include <limits>

QTLIB_BEGIN_NAMESPACE

// The items a recorder's frame map lists, counted by kind. The count ends at
// the first zero entry or at the map's capacity. A kind 3 entry occupies its
// blocks but is counted by no track.
struct QuickTimeFrameMapCount
{
    quint32 videoFrames = 0;
    quint32 audioChunks = 0;
    quint32 timecodeSamples = 0;
    // Entries walked, kind 3 included, and the bytes their items occupy.
    quint32 entries = 0;
    quint64 mediaBytes = 0;

    quint32 counted() const { return videoFrames + audioChunks + timecodeSamples; }

    // Counts a map of QuickTimeFile::frameMapSize bytes (null counts nothing).
    // The count also ends before the first item that would end past the file
    // offset `availableEnd`: what follows it never reached the disk whole.
    static QuickTimeFrameMapCount of(const quint8* map,
        quint64 availableEnd = std::numeric_limits<quint64>::max());
    // Both counts in one walk: everything the map lists, and as of() gives it.
    static void count(const quint8* map, quint64 availableEnd, QuickTimeFrameMapCount& listed,
        QuickTimeFrameMapCount& whole);

private:
    void add(int kind, quint32 length);
};

QTLIB_END_NAMESPACE

#endif
