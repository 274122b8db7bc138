#ifndef RECORDEDPLAYBACK_H
#define RECORDEDPLAYBACK_H

#include "recordingwriter.h"
#include "takedescription.h"

#include <QString>

// Whether a repaired movie plays as its take was recorded, as a player sees
// it: the timecode stream, the video stream with every frame equal to its
// source frame, one mono sound stream per channel decoding to exactly that
// channel's samples.
namespace RecordedPlayback {

// Empty when it plays as recorded, else what differs. `timecodeStreams` is
// how many timecode streams the movie must show (0 for a take that held no
// timecode sample).
QString mismatch(const QString& moviePath, const TakeDescription& take, const WrittenTake& written,
    int timecodeStreams = 1);

} // namespace RecordedPlayback

#endif
