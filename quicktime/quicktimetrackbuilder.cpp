#include "quicktimetrackbuilder.h"

#include "quicktimechunkoffset64atom.h"
#include "quicktimedatainformationatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefile.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemediainformationatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackheaderatom.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeTrackBuilder::QuickTimeTrackBuilder(QuickTimeFile* file)
    : file(file)
{
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

QTLIB_END_NAMESPACE
