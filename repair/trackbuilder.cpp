#include "trackbuilder.h"

#include "movietiming.h"
#include "quicktimeavidvideosampledescription.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefile.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimeskipatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimecodeinformationatom.h"
#include "quicktimetimecodesampledescription.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimevideoinformationatom.h"

#include <QIODevice>

#include <cstring>

namespace {
// Bytes from the start of each table atom to its first table entry.
constexpr quint64 sampleSizeTableLead = 20;
constexpr quint64 chunkOffsetTableLead = 16;
}

TrackBuilder::TrackBuilder(QuickTimeFile& file)
    : file(file)
    , walkLimit(file.walkLimit)
{
}

QuickTimeAtom* TrackBuilder::addMovie(quint32 duration)
{
    QuickTimeAtom* movie = file.root.addChild(new QuickTimeAtom(fourCC("moov")));
    movie->offset = file.device->pos();

    // The vendor atom's copy of the map runs to the last counted entry: kind
    // 3 entries among the counted ones take their places in it.
    auto* vendor = new QuickTimeVelloranAtom(walkLimit, file.frameMap.rawEntries(walkLimit));
    vendor->interlaced = file.interlaced;
    vendor->videoFrameCount = file.videoFrameCount;
    vendor->audioChunkCount = file.audioChunkCount;
    vendor->timecodeSampleCount = file.timecodeSampleCount;
    std::memcpy(vendor->vendorValues, file.vendorValues, sizeof vendor->vendorValues);
    movie->addChild(new QuickTimeAtom(fourCC("udta")))->addChild(vendor);
    movie->addChild(new QuickTimeMovieHeaderAtom(file.videoTimeScale, duration));
    return movie;
}

QuickTimeAtom* TrackBuilder::addTrack(QuickTimeAtom* movie, quint32 trackId, quint32 duration, quint16 width,
    quint16 height)
{
    QuickTimeAtom* track = movie->addChild(new QuickTimeAtom(fourCC("trak")));
    track->addChild(new QuickTimeTrackHeaderAtom(trackId, duration, width, height, fullVolume));
    return track;
}

QuickTimeAtom* TrackBuilder::addMedia(QuickTimeAtom* track, quint32 timeScale, quint32 duration,
    quint32 handlerSubtype)
{
    QuickTimeAtom* media = track->addChild(new QuickTimeAtom(fourCC("mdia")));
    media->addChild(new QuickTimeMediaHeaderAtom(timeScale, duration));
    media->addChild(new QuickTimeHandlerReferenceAtom(fourCC("mhlr"), handlerSubtype));
    return media->addChild(new QuickTimeAtom(fourCC("minf")));
}

QuickTimeAtom* TrackBuilder::addDataReference(QuickTimeAtom* mediaInformation)
{
    mediaInformation->addChild(new QuickTimeHandlerReferenceAtom(fourCC("dhlr"), fourCC("alis")));
    mediaInformation->addChild(new QuickTimeAtom(fourCC("dinf")))->addChild(new QuickTimeDataReferenceAtom());
    return mediaInformation->addChild(new QuickTimeAtom(fourCC("stbl")));
}

void TrackBuilder::addSampleTables(QuickTimeAtom* sampleTable, QuickTimeTimeToSampleAtom* timeToSample,
    QuickTimeSampleToChunkAtom* sampleToChunk, QuickTimeSampleSizeAtom* sampleSizes,
    QuickTimeChunkOffsetAtom* chunkOffsets, TableAlignment alignment)
{
    const bool aligned = alignment == TableAlignment::Aligned;
    sampleTable->addChild(timeToSample);
    sampleTable->addChild(sampleToChunk);
    if (aligned)
        addAlignmentSkip(sampleTable, sampleSizeTableLead);
    sampleTable->addChild(sampleSizes);
    if (aligned)
        addAlignmentSkip(sampleTable, chunkOffsetTableLead);
    sampleTable->addChild(chunkOffsets);
}

QuickTimeChunkOffsetAtom* TrackBuilder::chunkOffsets(FrameMap::Kind kind, const FrameMap::Chunking& chunking,
    FrameMap::ItemStarts starts) const
{
    auto* atom = new QuickTimeChunkOffsetAtom(true, chunking.chunkCount,
        file.frameMap.chunkOffsets(kind, walkLimit, chunking, std::move(starts)));
    atom->announcesStreaming = file.profile.announcesChunkOffsetStreaming;
    return atom;
}

void TrackBuilder::addAlignmentSkip(QuickTimeAtom* parent, quint64 lead)
{
    QuickTimeAtom* skip = parent->addChild(new QuickTimeSkipAtom());
    const quint64 start = quint64(skip->offset) + 8 + lead;
    skip->growSize(quint32((512 - start % 512) % 512));
}

void TrackBuilder::addTimecodeMedia(QuickTimeAtom* track, quint32 duration)
{
    QuickTimeAtom* information = addMedia(track, file.videoTimeScale, duration, fourCC("tmcd"));
    // The timecode header lies inside the base media information, behind its fields.
    information->addChild(new QuickTimeAtom(fourCC("gmhd")))
        ->addChild(new QuickTimeBaseMediaInformationAtom())
        ->addChild(new QuickTimeAtom(fourCC("tmcd")))
        ->addChild(new QuickTimeTimecodeInformationAtom());

    QuickTimeAtom* sampleTable = addDataReference(information);
    auto* descriptions = sampleTable->addChild(new QuickTimeSampleDescriptionAtom());
    auto* timecode = new QuickTimeTimecodeSampleDescription(file.videoTimeScale, file.videoSampleDuration,
        file.dropFrame != 0, file.timecodeCounter > 0);
    descriptions->addDescription(timecode);
    // The source name lies inside the timecode description.
    const QByteArray reel = file.reelName.toLatin1();
    timecode->size += descriptions->addChild(new QuickTimeSourceReferenceAtom(reel.constData()))->size;

    const quint32 samples = file.timecodeSampleCount;
    auto* times = new QuickTimeTimeToSampleAtom(1, duration);
    if (samples > 1)
        times->addEntry(samples - 1, 0);
    FrameMap::Chunking chunking;
    chunking.chunkCount = samples;
    chunking.lastChunkOffset = file.lastTimecodeAdjustment;
    addSampleTables(sampleTable, times, new QuickTimeSampleToChunkAtom(1, 0, 0, 0),
        new QuickTimeSampleSizeAtom(samples, 0, file.frameMap.sizes(FrameMap::TimecodeSample, walkLimit)),
        chunkOffsets(FrameMap::TimecodeSample, chunking), TableAlignment::Unaligned);
}

void TrackBuilder::addVideoDescription(QuickTimeSampleDescriptionAtom* atom)
{
    switch (file.videoCodec) {
    case 0:
        atom->addDescription(new QuickTimeAvidVideoSampleDescription(file.width, file.height, file.interlaced != 0,
            file.avidCompressionId));
        break;
    case 1:
    case 2: {
        const ProResChoice& choice = file.profile.proResChoice(file.videoCodec, file.proResFlavour);
        // A picture size the recorder's table does not know gets square pixels
        // and a clean aperture of the whole picture, never undefined values.
        const quint32 squarePixels[2] = { 1, 1 };
        const quint32 wholePicture[8] = { file.width, 1, file.height, 1, 0, 1, 0, 1 };
        const PictureAspect* row = file.profile.pictureAspect(file.width, file.height);
        const quint32* cleanAperture = row ? row->cleanAperture : wholePicture;
        const bool twoFields = file.interlaced != 0 && file.vendorValues[8] == 0;
        atom->addDescription(new QuickTimeProResVideoSampleDescription(choice.format, choice.compressorName,
            file.width, file.height, twoFields, row ? row->pixelAspect : squarePixels,
            file.profile.writesCleanAperture ? cleanAperture : nullptr));
        break;
    }
    default:
        // A codec the recorder did not name: the track keeps no description.
        break;
    }
}

void TrackBuilder::addVideoMedia(QuickTimeAtom* track, const MovieTiming& timing)
{
    QuickTimeAtom* information = addMedia(track, file.videoTimeScale, timing.movieDuration, fourCC("vide"));
    information->addChild(new QuickTimeVideoInformationAtom());
    QuickTimeAtom* sampleTable = addDataReference(information);
    addVideoDescription(sampleTable->addChild(new QuickTimeSampleDescriptionAtom()));

    const quint32 frames = file.videoFrameCount;
    FrameMap::Chunking chunking;
    chunking.samplesPerChunk = file.videoSamplesPerChunk;
    chunking.chunkCount = timing.videoChunks;
    addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(frames, file.videoSampleDuration),
        new QuickTimeSampleToChunkAtom(timing.framesPerChunk, timing.videoChunks, timing.lastChunkFrames, 0),
        new QuickTimeSampleSizeAtom(frames, 0, file.frameMap.sizes(FrameMap::VideoFrame, walkLimit)),
        chunkOffsets(FrameMap::VideoFrame, chunking), TableAlignment::Aligned);
}

void TrackBuilder::addSoundMedia(QuickTimeAtom* track, quint32 channel, const MovieTiming& timing)
{
    QuickTimeAtom* information = addMedia(track, file.audioSampleRate, timing.soundSamples, fourCC("soun"));
    information->addChild(new QuickTimeSoundInformationAtom());
    QuickTimeAtom* sampleTable = addDataReference(information);
    sampleTable->addChild(new QuickTimeSampleDescriptionAtom())->addDescription(new QuickTimeSoundSampleDescription(file.audioBytesPerSample, file.audioSampleRate,
            file.audioLittleEndian != 0));

    if (!soundChunkStarts && file.audioChannelCount > 1)
        soundChunkStarts = file.frameMap.itemStarts(FrameMap::AudioChunk, walkLimit, file.audioChunkCount);
    // The first and last chunks hold channel blocks of their own length.
    const quint64 blockBytes = quint64(channel) * file.audioBytesPerSample;
    FrameMap::Chunking chunking;
    chunking.chunkCount = file.audioChunkCount;
    chunking.offset = blockBytes * timing.samplesPerChunk;
    chunking.lastChunkOffset = blockBytes * timing.lastChunkSamples;
    chunking.firstChunkOffset = blockBytes * timing.firstChunkSamples;
    addSampleTables(sampleTable, new QuickTimeTimeToSampleAtom(timing.soundSamples, 1),
        new QuickTimeSampleToChunkAtom(timing.samplesPerChunk, file.audioChunkCount, timing.lastChunkSamples,
            timing.firstChunkSamples),
        new QuickTimeSampleSizeAtom(timing.soundSamples, file.audioBytesPerSample),
        chunkOffsets(FrameMap::AudioChunk, chunking, soundChunkStarts), TableAlignment::Aligned);
}
