#ifndef ITEMSEARCH_H
#define ITEMSEARCH_H

#include "framemap.h"

class QuickTimeFile;

// A recorder writes its media continuously but its frame map only now and
// then: when the power fails between two updates, the last items of the take
// are on the card but in no entry. The search looks for them behind the
// items the map lists, item by item, and takes only what proves itself from
// the settings block: a video frame by its codec's header (picture size,
// compression, a frame that fits the file), sound chunks by their length in
// a run that a proven frame follows or that ends the recorded media, the
// timecode sample by the start timecode. The
// first bytes that are none of these end it: junk, zeros, an older take's
// frames of another size or codec. It reads a few dozen bytes per item,
// never the media itself.
class ItemSearch
{
public:
    struct Found
    {
        quint32 videoFrames = 0;
        quint32 soundChunks = 0;
        quint32 timecodeSamples = 0;
    };

    // Enters every item found behind the `listed` ones (all of them wholly in
    // the file) into the file's frame map in memory, as if the recorder had
    // listed them, within the map's capacity. Nothing is entered when no
    // video frame is found: sound chunks and a timecode sample prove nothing
    // by themselves.
    static Found extend(QuickTimeFile& file, const FrameMap::Count& listed);
};

#endif
