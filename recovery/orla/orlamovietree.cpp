#include "orlamovietree.h"

#include "quicktimechunkoffset64atom.h"
#include "quicktimeeditatom.h"
#include "quicktimeeditlistatom.h"
#include "quicktimefile.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"

using namespace Tolvan;

namespace {
constexpr quint32 timecodeTrackId = 1;
constexpr quint32 fullRate = 0x10000;
}

OrlaMovieTree::OrlaMovieTree(QuickTimeFile* file)
    : file(file)
    , tracks(file)
    , timing(*file)
    , nextTrackId(timecodeTrackId + 1)
{
}

void OrlaMovieTree::build()
{
    QuickTimeAtom* movie = tracks.addMovie(timing.movieDuration);

    // A timecode track must list the sample it times; without one recorded
    // there is no start timecode to show, and a track of one sample with
    // empty tables makes players refuse the whole movie.
    if (file->timecodeSampleCount > 0)
        addTimecodeTrack(movie);
    if (file->videoFrameCount > 0)
        addVideoTrack(movie);
    if (timing.hasSoundTracks) {
        for (quint32 channel = 0; channel < file->audioChannelCount; ++channel)
            addSoundTrack(movie, channel);
    }
}

QuickTimeAtom* OrlaMovieTree::addTrack(QuickTimeAtom* movie, quint32 trackId, quint16 width, quint16 height)
{
    QuickTimeTrackAtom* track = tracks.addTrack(movie, trackId, timing.movieDuration, width, height);
    QuickTimeEditListAtom* edits
        = track->addChild(new QuickTimeEditAtom(file))->addChild(new QuickTimeEditListAtom(file));
    edits->entries.first() = { timing.movieDuration, 0, fullRate };
    return track;
}

void OrlaMovieTree::addTimecodeTrack(QuickTimeAtom* movie)
{
    QuickTimeSampleTableAtom* sampleTable = tracks.addTimecodeMedia(addTrack(movie, timecodeTrackId), timing.movieDuration);
    const quint32 samples = file->timecodeSampleCount;
    tracks.addSampleTables(sampleTable, tracks.timecodeTimes(samples, timing.movieDuration),
        new QuickTimeSampleToChunkAtom(file, 1, 0, 0, 0),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::TimecodeSample, samples, 0),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::TimecodeSample, samples, 0, 1, 0, 0),
        QuickTimeTrackBuilder::TableAlignment::Unaligned);
}

void OrlaMovieTree::addVideoTrack(QuickTimeAtom* movie)
{
    tracks.addVideoMedia(addTrack(movie, nextTrackId++, file->width, file->height), timing);
}

void OrlaMovieTree::addSoundTrack(QuickTimeAtom* movie, quint32 channel)
{
    tracks.addSoundMedia(addTrack(movie, nextTrackId++), channel, timing);
}

namespace Tolvan {

bool QuickTimeFile::buildMovieAtom()
{
    OrlaMovieTree(this).build();
    return completeMovie();
}

} // namespace Tolvan
