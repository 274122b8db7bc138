#include "orlamovietree.h"

#include "quicktimeavidvideosampledescription.h"
#include "quicktimebaseinformationheaderatom.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimeeditatom.h"
#include "quicktimeeditlistatom.h"
#include "quicktimefile.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimecodeheaderatom.h"
#include "quicktimetimecodeinformationatom.h"
#include "quicktimetimecodesampledescription.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimeuserdataatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimevideoinformationatom.h"

#include <QIODevice>

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
    QuickTimeMovieAtom* movie = file->root.addChild(new QuickTimeMovieAtom(file));
    movie->offset = file->device->pos();
    movie->addChild(new QuickTimeUserDataAtom(file))->addChild(new QuickTimeVelloranAtom(file));
    movie->addChild(new QuickTimeMovieHeaderAtom(file))->duration = timing.movieDuration;

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
    QuickTimeAtom* track = addTrack(movie, timecodeTrackId);
    QuickTimeMediaInformationAtom* information
        = tracks.addMedia(track, file->videoTimeScale, timing.movieDuration, fourCC("tmcd"));
    // The timecode header lies inside the base media information, behind its fields.
    information->addChild(new QuickTimeBaseInformationHeaderAtom(file))
        ->addChild(new QuickTimeBaseMediaInformationAtom(file))
        ->addChild(new QuickTimeTimecodeHeaderAtom(file))
        ->addChild(new QuickTimeTimecodeInformationAtom(file));

    QuickTimeSampleTableAtom* sampleTable = tracks.addDataReference(information);
    QuickTimeSampleDescriptionAtom* descriptions = sampleTable->addChild(new QuickTimeSampleDescriptionAtom(file));
    auto* timecode = new QuickTimeTimecodeSampleDescription(file);
    descriptions->addDescription(timecode);
    // The source name lies inside the timecode description.
    const QByteArray reel = file->reelName.toLatin1();
    timecode->size += descriptions->addChild(new QuickTimeSourceReferenceAtom(reel.constData(), file))->size;

    const quint32 samples = file->timecodeSampleCount;
    tracks.addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(file, 1, timing.movieDuration),
        new QuickTimeSampleToChunkAtom(file, 1, 0, 0, 0),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::TimecodeSample, samples, 0),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::TimecodeSample, samples, 0, 1, 0, 0),
        QuickTimeTrackBuilder::TableAlignment::Unaligned);
}

void OrlaMovieTree::addVideoTrack(QuickTimeAtom* movie)
{
    QuickTimeAtom* track = addTrack(movie, nextTrackId++, file->width, file->height);
    QuickTimeMediaInformationAtom* information
        = tracks.addMedia(track, file->videoTimeScale, timing.movieDuration, fourCC("vide"));
    information->addChild(new QuickTimeVideoInformationAtom(file));
    QuickTimeSampleTableAtom* sampleTable = tracks.addDataReference(information);
    addVideoDescription(sampleTable);

    const quint32 frames = file->videoFrameCount;
    const quint32 framesPerChunk = file->videoSamplesPerChunk;
    // Settings without chunking are refused before the rebuild; never divide by them.
    const quint32 chunks = framesPerChunk == 0 ? 0 : quint32((quint64(frames) + framesPerChunk - 1) / framesPerChunk);
    // A single chunk is listed with the frames it holds: a second entry
    // naming chunk 1 again would make players refuse the movie.
    const quint32 tableFramesPerChunk = chunks == 1 ? frames : framesPerChunk;
    const quint32 lastChunkFrames = chunks <= 1 ? 0 : frames % framesPerChunk;
    tracks.addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(file, frames, file->videoSampleDuration),
        new QuickTimeSampleToChunkAtom(file, tableFramesPerChunk, chunks, lastChunkFrames, 0),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::VideoFrame, frames, 0),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::VideoFrame, frames, 0, framesPerChunk, 0, 0),
        QuickTimeTrackBuilder::TableAlignment::Aligned);
}

void OrlaMovieTree::addVideoDescription(QuickTimeSampleTableAtom* sampleTable)
{
    QuickTimeSampleDescriptionAtom* descriptions = sampleTable->addChild(new QuickTimeSampleDescriptionAtom(file));
    switch (file->videoCodec) {
    case 0:
        descriptions->addDescription(new QuickTimeAvidVideoSampleDescription(file));
        break;
    case 1:
    case 2:
        descriptions->addDescription(new QuickTimeProResVideoSampleDescription(file));
        break;
    default:
        // A codec the recorder did not name: the track keeps no description.
        break;
    }
}

void OrlaMovieTree::addSoundTrack(QuickTimeAtom* movie, quint32 channel)
{
    QuickTimeAtom* track = addTrack(movie, nextTrackId++);
    QuickTimeMediaInformationAtom* information
        = tracks.addMedia(track, file->audioSampleRate, timing.soundSamples, fourCC("soun"));
    information->addChild(new QuickTimeSoundInformationAtom(file));
    QuickTimeSampleTableAtom* sampleTable = tracks.addDataReference(information);
    sampleTable->addChild(new QuickTimeSampleDescriptionAtom(file))
        ->addDescription(new QuickTimeSoundSampleDescription(file, 0, file->audioSampleRate));

    // Channel k starts k channel blocks into each chunk; the first and last
    // chunks hold blocks of their own length.
    const quint64 blockBytes = quint64(channel) * file->audioBytesPerSample;
    const quint32 chunks = file->audioChunkCount;
    tracks.addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(file, timing.soundSamples, 1),
        new QuickTimeSampleToChunkAtom(file, timing.samplesPerChunk, chunks, timing.lastChunkSamples,
            timing.firstChunkSamples),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::AudioChunk, timing.soundSamples, file->audioBytesPerSample),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::AudioChunk, chunks, blockBytes * timing.samplesPerChunk,
            1, blockBytes * timing.lastChunkSamples, blockBytes * timing.firstChunkSamples),
        QuickTimeTrackBuilder::TableAlignment::Aligned);
}

namespace Tolvan {

bool QuickTimeFile::buildMovieAtom()
{
    OrlaMovieTree(this).build();
    return completeMovie();
}

} // namespace Tolvan
