#include "quicktimetrackbuilder.h"

#include "quicktimeavidvideosampledescription.h"
#include "quicktimebaseinformationheaderatom.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimedatainformationatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefile.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimemovietiming.h"
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
#include "quicktimetrackheaderatom.h"
#include "quicktimeuserdataatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimevideoinformationatom.h"

#include <QIODevice>

QTLIB_BEGIN_NAMESPACE

QuickTimeTrackBuilder::QuickTimeTrackBuilder(QuickTimeFile* file)
    : file(file)
{
}

QuickTimeAtom* QuickTimeTrackBuilder::addMovie(quint32 duration)
{
    QuickTimeMovieAtom* movie = file->root.addChild(new QuickTimeMovieAtom(file));
    movie->offset = file->device->pos();
    movie->addChild(new QuickTimeUserDataAtom(file))->addChild(new QuickTimeVelloranAtom(file));
    movie->addChild(new QuickTimeMovieHeaderAtom(file))->duration = duration;
    return movie;
}

QuickTimeTrackAtom* QuickTimeTrackBuilder::addTrack(QuickTimeAtom* movie, quint32 trackId, quint32 duration,
    quint16 width, quint16 height)
{
    QuickTimeTrackAtom* track = movie->addChild(new QuickTimeTrackAtom(file));
    track->addChild(new QuickTimeTrackHeaderAtom(file, trackId, duration, width, height, fullVolume));
    return track;
}

QuickTimeMediaInformationAtom* QuickTimeTrackBuilder::addMedia(QuickTimeAtom* track, quint32 timeScale,
    quint32 duration, quint32 handlerSubtype)
{
    QuickTimeMediaAtom* media = track->addChild(new QuickTimeMediaAtom(file));
    media->addChild(new QuickTimeMediaHeaderAtom(file, timeScale, duration));
    media->addChild(new QuickTimeHandlerReferenceAtom(fourCC("mhlr"), handlerSubtype, file));
    return media->addChild(new QuickTimeMediaInformationAtom(file));
}

QuickTimeSampleTableAtom* QuickTimeTrackBuilder::addDataReference(QuickTimeAtom* mediaInformation)
{
    mediaInformation->addChild(new QuickTimeHandlerReferenceAtom(fourCC("dhlr"), fourCC("alis"), file));
    mediaInformation->addChild(new QuickTimeDataInformationAtom(file))->addChild(new QuickTimeDataReferenceAtom(file));
    return mediaInformation->addChild(new QuickTimeSampleTableAtom(file));
}

void QuickTimeTrackBuilder::addSampleTables(QuickTimeAtom* sampleTable, QuickTimeTimeToSampleAtom* timeToSample,
    QuickTimeSampleToChunkAtom* sampleToChunk, QuickTimeSampleSizeAtom* sampleSizes,
    QuickTimeChunkOffset64Atom* chunkOffsets, TableAlignment alignment)
{
    const bool aligned = alignment == TableAlignment::Aligned;
    sampleTable->addChild(timeToSample);
    sampleTable->addChild(sampleToChunk);
    if (aligned)
        file->addAlignmentSkip(sampleTable, sampleSizeTableLead);
    sampleTable->addChild(sampleSizes);
    if (aligned)
        file->addAlignmentSkip(sampleTable, chunkOffsetTableLead);
    sampleTable->addChild(chunkOffsets);
}

QuickTimeSampleTableAtom* QuickTimeTrackBuilder::addTimecodeMedia(QuickTimeAtom* track, quint32 duration)
{
    QuickTimeMediaInformationAtom* information = addMedia(track, file->videoTimeScale, duration, fourCC("tmcd"));
    // The timecode header lies inside the base media information, behind its fields.
    information->addChild(new QuickTimeBaseInformationHeaderAtom(file))
        ->addChild(new QuickTimeBaseMediaInformationAtom(file))
        ->addChild(new QuickTimeTimecodeHeaderAtom(file))
        ->addChild(new QuickTimeTimecodeInformationAtom(file));

    QuickTimeSampleTableAtom* sampleTable = addDataReference(information);
    QuickTimeSampleDescriptionAtom* descriptions = sampleTable->addChild(new QuickTimeSampleDescriptionAtom(file));
    auto* timecode = new QuickTimeTimecodeSampleDescription(file);
    descriptions->addDescription(timecode);
    // The source name lies inside the timecode description.
    const QByteArray reel = file->reelName.toLatin1();
    timecode->size += descriptions->addChild(new QuickTimeSourceReferenceAtom(reel.constData(), file))->size;
    return sampleTable;
}

QuickTimeTimeToSampleAtom* QuickTimeTrackBuilder::timecodeTimes(quint32 samples, quint32 duration) const
{
    auto* times = new QuickTimeTimeToSampleAtom(file, 1, duration);
    if (samples > 1)
        times->addEntry(samples - 1, 0);
    return times;
}

void QuickTimeTrackBuilder::addVideoMedia(QuickTimeAtom* track, const QuickTimeMovieTiming& timing)
{
    QuickTimeMediaInformationAtom* information
        = addMedia(track, file->videoTimeScale, timing.movieDuration, fourCC("vide"));
    information->addChild(new QuickTimeVideoInformationAtom(file));
    QuickTimeSampleTableAtom* sampleTable = addDataReference(information);
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

    const quint32 frames = file->videoFrameCount;
    addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(file, frames, file->videoSampleDuration),
        new QuickTimeSampleToChunkAtom(file, timing.framesPerChunk, timing.videoChunks, timing.lastChunkFrames, 0),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::VideoFrame, frames, 0),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::VideoFrame, frames, 0, file->videoSamplesPerChunk, 0, 0),
        TableAlignment::Aligned);
}

void QuickTimeTrackBuilder::addSoundMedia(QuickTimeAtom* track, quint32 channel, const QuickTimeMovieTiming& timing)
{
    QuickTimeMediaInformationAtom* information
        = addMedia(track, file->audioSampleRate, timing.soundSamples, fourCC("soun"));
    information->addChild(new QuickTimeSoundInformationAtom(file));
    QuickTimeSampleTableAtom* sampleTable = addDataReference(information);
    sampleTable->addChild(new QuickTimeSampleDescriptionAtom(file))
        ->addDescription(new QuickTimeSoundSampleDescription(file, 0, file->audioSampleRate));

    // The first and last chunks hold channel blocks of their own length.
    const quint64 blockBytes = quint64(channel) * file->audioBytesPerSample;
    const quint32 chunks = file->audioChunkCount;
    addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(file, timing.soundSamples, 1),
        new QuickTimeSampleToChunkAtom(file, timing.samplesPerChunk, chunks, timing.lastChunkSamples,
            timing.firstChunkSamples),
        new QuickTimeSampleSizeAtom(file, QuickTimeFile::AudioChunk, timing.soundSamples, file->audioBytesPerSample),
        new QuickTimeChunkOffset64Atom(file, QuickTimeFile::AudioChunk, chunks, blockBytes * timing.samplesPerChunk,
            1, blockBytes * timing.lastChunkSamples, blockBytes * timing.firstChunkSamples),
        TableAlignment::Aligned);
}

QTLIB_END_NAMESPACE
