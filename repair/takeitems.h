#ifndef TAKEITEMS_H
#define TAKEITEMS_H

#include "framemap.h"

// The items of a video take as its repair counted them: those the
// recorder's frame map listed, those found on the card after its last entry,
// and the listed ones that never reached the card whole.
struct TakeItems
{
    struct Kinds
    {
        quint32 frames = 0;
        quint32 soundChunks = 0;
        quint32 timecodeSamples = 0;
    };

    // False when nothing was counted (a scan, a sound take, a take refused
    // before its map was read): the numbers below then say nothing.
    bool counted = false;
    Kinds listed;
    Kinds found;
    quint32 torn = 0;
    // What the movie points at: the whole listed items and those found.
    Kinds kept;

    // `listed` as the recorder left the map, `kept` the items wholly on the
    // card that the movie points at, `leftOut` the listed entries that are not.
    static TakeItems fromCount(const FrameMap::Count& listed, const FrameMap::Count& kept, quint32 leftOut)
    {
        const auto beyond = [](quint32 kept, quint32 listed) { return kept > listed ? kept - listed : 0; };
        TakeItems items;
        items.counted = true;
        items.listed = { listed.videoFrames, listed.audioChunks, listed.timecodeSamples };
        items.found = { beyond(kept.videoFrames, listed.videoFrames), beyond(kept.audioChunks, listed.audioChunks),
            beyond(kept.timecodeSamples, listed.timecodeSamples) };
        items.torn = leftOut;
        items.kept = { kept.videoFrames, kept.audioChunks, kept.timecodeSamples };
        return items;
    }
};

#endif
