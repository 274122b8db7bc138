#include "veskmovietree.h"

#include "quicktimechunkoffset64atom.h"
#include "quicktimefile.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"

namespace {
constexpr quint32 timecodeTrackId = 1;
}

VeskMovieTree::VeskMovieTree(QuickTimeFile* file)
    : file(file)
    , tracks(file)
    , timing(*file)
{
}

void VeskMovieTree::build()
{
    QuickTimeAtom* movie = tracks.addMovie(timing.movieDuration);

    // Only a frame map without room for the appended sample leaves a take
    // without any: a track of one sample with empty tables would make
    // players refuse the whole movie.
    if (file->timecodeSampleCount > 0)
        addTimecodeTrack(movie);
    quint32 nextTrackId = timecodeTrackId + 1;
    if (file->videoFrameCount > 0)
        tracks.addVideoMedia(tracks.addTrack(movie, nextTrackId++, timing.movieDuration, file->width, file->height), timing);
    if (timing.hasSoundTracks) {
        for (quint32 channel = 0; channel < file->audioChannelCount; ++channel)
            tracks.addSoundMedia(tracks.addTrack(movie, nextTrackId++, timing.movieDuration), channel, timing);
    }
}

void VeskMovieTree::addTimecodeTrack(QuickTimeAtom* movie)
{
    QuickTimeSampleTableAtom* sampleTable
        = tracks.addTimecodeMedia(tracks.addTrack(movie, timecodeTrackId, timing.movieDuration), timing.movieDuration);

    // A sample the recorder wrote itself comes first; the appended one then lasts no time.
    const quint32 samples = file->timecodeSampleCount;
    QuickTimeTimeToSampleAtom* times = tracks.timecodeTimes(samples, timing.movieDuration);

    // The appended block is the last timecode item; it lies where it was
    // written, which may be past where the walk puts its entry.
    const QuickTimeFile::AppendedTimecodeSample& appended = file->appendedTimecodeSample;
    const quint64 blockAdjustment = appended.state == QuickTimeFile::AppendedTimecodeSample::State::Placed
        ? appended.blockOffset - appended.walkOffset
        : 0;
    tracks.addSampleTables(sampleTable, times, new QuickTimeSampleToChunkAtom(file, 1, 0, 0, 0),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::TimecodeSample, samples, 0),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::TimecodeSample, samples, 0, 1, blockAdjustment, 0),
        QuickTimeTrackBuilder::TableAlignment::Unaligned);
}
