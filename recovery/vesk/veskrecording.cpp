// Reading an unfinished Vesk recording: the defaults of a take, the frame
// map lent by the scanner and the end of the recorded media.

#include "quicktimeearlierrepair.h"
#include "quicktimefile.h"
#include "quicktimemediaextent.h"
#include "quicktimemoviedataatom.h"
#include "quicktimetakebounds.h"
#include "veskreport.h"

#include <QIODevice>
#include <QtDebug>

bool QuickTimeFile::prepareRecording()
{
    resetForRecording();
    return frameMap != nullptr;
}

bool QuickTimeFile::recoverMovie()
{
    // The frame map buffer is the caller's; without it there is nothing to read into.
    if (!device || !frameMap || !movieDataAtom)
        return false;
    if (!device->seek(qint64(frameMapOffset)))
        return false;
    if (device->read(reinterpret_cast<char*>(frameMap), qint64(frameMapSize)) != qint64(frameMapSize))
        return false;

    // A repair cut short before its commit left its timecode block and movie
    // behind the media (or only the movie, when the map had no room for the
    // block); the recorded media then ended where that repair began.
    const QuickTimeMediaExtent asItStands(frameMap, quint64(device->size()), recordedEnd);
    const QList<QuickTimeEarlierRepair::Form> forms{ { timecodeSampleBlock(startTimecode), 1 }, { QByteArray(), 0 } };
    const quint64 earlierRepair = QuickTimeEarlierRepair::start(*this, forms, asItStands.listed);
    const QuickTimeMediaExtent extent
        = earlierRepair != 0 ? QuickTimeMediaExtent(frameMap, earlierRepair, recordedEnd) : asItStands;
    videoFrameCount = extent.whole.videoFrames;
    audioChunkCount = extent.whole.audioChunks;
    timecodeSampleCount = extent.whole.timecodeSamples;
    // When the recorder's short last chunk is among the items left out, the
    // last one kept is a full one.
    if (extent.listed.audioChunks != extent.whole.audioChunks)
        audioLastChunkSamples = 0;
    refusal = QuickTimeTakeBounds::countsBreach(*this);
    if (refusal)
        return false;
    const QByteArray name = VeskReport::recordingName(device);
    if (extent.isTorn())
        qDebug("********************* %s %u listed items never reached the disk whole, the take is repaired without them!\n",
            name.constData(), extent.leftOutItems());
    if (recordedEnd != 0 && !extent.recordedEndUsable())
        qDebug("********************* %s recorded end %llu does not fit the recorded media, the movie goes at the end of the file!\n",
            name.constData(), static_cast<unsigned long long>(recordedEnd));

    movieDataAtom->size64 = extent.movieDataSize();
    if (!device->seek(qint64(extent.movieStart())))
        return false;
    return buildMovieAtom();
}
