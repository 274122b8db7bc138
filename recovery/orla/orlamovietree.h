#ifndef ORLAMOVIETREE_H
#define ORLAMOVIETREE_H

#include "quicktimemovietiming.h"
#include "quicktimetrackbuilder.h"

namespace Tolvan {
class QuickTimeAtom;
class QuickTimeFile;
}

// Builds the movie atom of an Orla recording under the file object's root:
// the vendor atom and movie header, a timecode track, a video track when
// frames were recorded and one mono sound track per recorded channel, each
// pointing at the media where the recorder left it.
class OrlaMovieTree
{
public:
    explicit OrlaMovieTree(Tolvan::QuickTimeFile* file);

    // Attaches the tree to the root, placed at the device's current position.
    void build();

private:
    void addTimecodeTrack(Tolvan::QuickTimeAtom* movie);
    void addVideoTrack(Tolvan::QuickTimeAtom* movie);
    void addSoundTrack(Tolvan::QuickTimeAtom* movie, quint32 channel);
    // Track header and an edit list that plays the whole media; the media
    // that follows is the caller's.
    Tolvan::QuickTimeAtom* addTrack(Tolvan::QuickTimeAtom* movie, quint32 trackId, quint16 width = 0,
        quint16 height = 0);

    Tolvan::QuickTimeFile* file;
    Tolvan::QuickTimeTrackBuilder tracks;
    Tolvan::QuickTimeMovieTiming timing;
    quint32 nextTrackId;
};

#endif
