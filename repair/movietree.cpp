#include "movietree.h"

#include "quicktimeeditlistatom.h"
#include "quicktimefile.h"
#include "quicktimemovieheaderatom.h"

namespace {
constexpr quint32 timecodeTrackId = 1;
}

MovieTree::MovieTree(QuickTimeFile& file)
    : file(file)
    , tracks(file)
    , timing(file)
{
}

void MovieTree::build()
{
    QuickTimeAtom* movie = tracks.addMovie(timing.movieDuration);

    // A timecode track must list the sample it times; without one there is
    // no start timecode to show (a newer-family take without one, an older
    // one whose map had no room for the appended one), and a track of one
    // sample with empty tables makes players refuse the whole movie.
    if (file.timecodeSampleCount > 0)
        tracks.addTimecodeMedia(addTrack(movie, timecodeTrackId), timing.movieDuration);
    quint32 nextTrackId = timecodeTrackId + 1;
    if (file.videoFrameCount > 0)
        tracks.addVideoMedia(addTrack(movie, nextTrackId++, file.width, file.height), timing);
    if (timing.hasSoundTracks) {
        for (quint32 channel = 0; channel < file.audioChannelCount; ++channel)
            tracks.addSoundMedia(addTrack(movie, nextTrackId++), channel, timing);
    }
    // The movie header names the ID the next track added would take.
    for (QuickTimeAtom* child : std::as_const(movie->children)) {
        if (child->type == fourCC("mvhd"))
            static_cast<QuickTimeMovieHeaderAtom*>(child)->nextTrackId = highestTrackId + 1;
    }
}

QuickTimeAtom* MovieTree::addTrack(QuickTimeAtom* movie, quint32 trackId, quint16 width, quint16 height)
{
    highestTrackId = qMax(highestTrackId, trackId);
    QuickTimeAtom* track = tracks.addTrack(movie, trackId, timing.movieDuration, width, height);
    if (file.profile.editListPerTrack)
        track->addChild(new QuickTimeAtom(fourCC("edts")))->addChild(new QuickTimeEditListAtom(timing.movieDuration));
    return track;
}
