#pragma once

#include <QString>

// A timecode as a player prints it ("HH:MM:SS:FF", "HH:MM:SS;FF" for drop
// frame), computed the way ffprobe turns the frame number of a QuickTime
// timecode sample into text.
class TimecodeText
{
public:
    // The frames per second a timecode description announces for a track
    // timed in `timeScale` units with frames of `frameDuration` units
    // (rounded up: 2997/100 gives 30, 23976/1000 gives 24).
    static int framesPerSecond(quint32 timeScale, quint32 frameDuration);

    // Text of the sample `frameNumber` in a track with that timing.
    static QString fromFrameNumber(quint32 frameNumber, quint32 timeScale, quint32 frameDuration,
                                   bool dropFrame);
};
