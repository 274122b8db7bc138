#ifndef MOVIETREE_H
#define MOVIETREE_H

#include "movietiming.h"
#include "trackbuilder.h"

class QuickTimeAtom;
class QuickTimeFile;

// The movie atom of a take under the file object's root: the vendor atom
// and movie header, a timecode track when the map lists a timecode sample,
// a video track when frames were recorded and one mono sound track per
// recorded channel, each pointing at the media where the recorder left it.
// The newer family gives every track an edit list that plays its whole media.
class MovieTree
{
public:
    explicit MovieTree(QuickTimeFile& file);

    // Attaches the tree to the root, placed at the device's current position.
    void build();

private:
    QuickTimeAtom* addTrack(QuickTimeAtom* movie, quint32 trackId, quint16 width = 0, quint16 height = 0);

    QuickTimeFile& file;
    TrackBuilder tracks;
    MovieTiming timing;
    quint32 highestTrackId = 0;
};

#endif
