#ifndef VESKMOVIETREE_H
#define VESKMOVIETREE_H

#include "quicktimemovietiming.h"
#include "quicktimetrackbuilder.h"

class QuickTimeAtom;
class QuickTimeFile;

// Builds the movie atom of a Vesk recording under the file object's root:
// the vendor atom and movie header, a timecode track for the appended
// timecode sample, a video track when frames were recorded and one mono
// sound track per recorded channel. No track has an edit list.
class VeskMovieTree
{
public:
    explicit VeskMovieTree(QuickTimeFile* file);

    // Attaches the tree to the root, placed at the device's current position.
    void build();

private:
    void addTimecodeTrack(QuickTimeAtom* movie);

    QuickTimeFile* file;
    QuickTimeTrackBuilder tracks;
    QuickTimeMovieTiming timing;
};

#endif
