#ifndef ORLAMOVIETIMING_H
#define ORLAMOVIETIMING_H

#include <QtGlobal>

namespace Tolvan { class QuickTimeFile; }

// Durations and sound chunking of a rebuilt Orla movie, from the movie
// settings and the counted frame map.
struct OrlaMovieTiming
{
    explicit OrlaMovieTiming(const Tolvan::QuickTimeFile& file);

    bool hasSoundTracks = false;
    // Samples per channel in a full audio chunk, in the first and the last
    // one (0: a full chunk), and in the whole take.
    quint32 samplesPerChunk = 0;
    quint32 firstChunkSamples = 0;
    quint32 lastChunkSamples = 0;
    quint32 soundSamples = 0;
    // The length of the movie in the video time scale: that of the video, or
    // of the sound when no frame was recorded (players hide tracks that lie
    // beyond a movie of length 0).
    quint32 movieDuration = 0;
};

#endif
