#ifndef TAKEBOUNDS_H
#define TAKEBOUNDS_H

#include "framemap.h"

class QuickTimeFile;

// The limits a take's movie settings and counted frame map must keep before
// they size a track list, a table, a chunk offset or a field of the rebuilt
// movie. A damaged card holds any bytes; each limit is what a recorder can
// really write or what the movie's fields can hold, and a take beyond one is
// refused before anything is written, never cut to fit.
class TakeBounds
{
public:
    // The words of the failure line of a refused take.
    static constexpr const char* invalidSettings = "invalid recovery settings";
    static constexpr const char* tooLong = "take too long for one movie";

    // Recorders take sound over SDI, HDMI or a network: a few dozen channels.
    // Each one is a track whose chunk table is as long as the frame map's
    // audio chunks, so this also keeps the movie atom within its 32-bit size.
    static constexpr quint32 mostChannels = 64;
    // The PCM sample formats the sound description names: 16, 24, 32 bits.
    static constexpr quint32 fewestBytesPerSample = 2;
    static constexpr quint32 mostBytesPerSample = 4;
    // The PCM rates of recorders, telephone to eight times 48 kHz.
    static constexpr quint32 lowestSampleRate = 8000;
    static constexpr quint32 highestSampleRate = 384000;
    // The timecode description holds its frames per second in one byte.
    static constexpr quint32 mostTimecodeFrames = 255;
    // The longest item a frame map entry can list.
    static constexpr quint64 longestItem = FrameMap::longestItem;

    // What the movie settings alone break: null when they are within bounds,
    // else the words of the failure line. Checked before the frame map is read.
    static const char* settingsBreach(const QuickTimeFile& file);
    // What the counted frame map breaks together with the settings: null, or
    // the words of the failure line. Checked once the map is counted.
    static const char* countsBreach(const QuickTimeFile& file);
};

#endif
