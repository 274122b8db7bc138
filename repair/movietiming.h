#ifndef MOVIETIMING_H
#define MOVIETIMING_H

#include <QtGlobal>

class QuickTimeFile;

// Durations and chunking of a rebuilt movie, from the movie settings and the
// counted frame map: what both families' trees put into their track headers
// and sample-to-chunk tables.
struct MovieTiming
{
    explicit MovieTiming(const QuickTimeFile& file);

    bool hasSoundTracks = false;
    // Samples per channel in a full audio chunk, in the first and the last
    // one (0: a full chunk), and in the whole take.
    quint32 samplesPerChunk = 0;
    quint32 firstChunkSamples = 0;
    quint32 lastChunkSamples = 0;
    quint32 soundSamples = 0;
    // The same without the 32 bits of the movie's fields: a take the
    // fields cannot hold is refused (TakeBounds), never cut short.
    quint64 exactSoundSamples = 0;

    // Video chunks, the frames the table gives a chunk, and the frames of a
    // shorter last chunk (0: none).
    quint32 videoChunks = 0;
    quint32 framesPerChunk = 0;
    quint32 lastChunkFrames = 0;

    // The length of the movie in the video time scale: that of the video, or
    // of the sound when no frame was recorded (players hide tracks that lie
    // beyond a movie of length 0).
    quint32 movieDuration = 0;
    quint64 exactMovieDuration = 0;
};

#endif
