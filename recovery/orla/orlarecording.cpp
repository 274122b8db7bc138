// Reading an unfinished Orla recording: the defaults of a take, the frame
// map and the end of the recorded media.

#include "orlarecordingname.h"
#include "quicktimeearlierrepair.h"
#include "quicktimefile.h"
#include "quicktimemediaextent.h"
#include "quicktimemoviedataatom.h"
#include "quicktimetakebounds.h"

#include <QIODevice>
#include <QtDebug>

#include <new>

namespace Tolvan {

namespace {
// Fewer items than this are not a take worth a movie.
constexpr quint32 minimumItems = 30;
}

bool QuickTimeFile::prepareRecording()
{
    resetForRecording();
    if (!frameMap)
        frameMap = new (std::nothrow) quint8[frameMapSize];
    return frameMap != nullptr;
}

bool QuickTimeFile::recoverMovie()
{
    // Without prepareRecording's buffer there is nothing to read the map into.
    if (!device || !frameMap || !movieDataAtom)
        return false;
    if (!device->seek(qint64(frameMapOffset)))
        return false;
    if (device->read(reinterpret_cast<char*>(frameMap), qint64(frameMapSize)) != qint64(frameMapSize))
        return false;

    // A repair cut short before its commit left its movie behind the media;
    // the recorded media then ended where that repair began.
    const QuickTimeMediaExtent asItStands(frameMap, quint64(device->size()), recordedEnd);
    const quint64 earlierRepair = QuickTimeEarlierRepair::start(*this, { { QByteArray(), 0 } }, asItStands.listed);
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
    const QByteArray name = orlaRecordingName(device);
    if (extent.isTorn())
        qDebug("********************* %s %u listed items never reached the disk whole, the take is repaired without them!\n",
            name.constData(), extent.leftOutItems());
    if (videoFrameCount + audioChunkCount + timecodeSampleCount < minimumItems)
        return false;
    if (recordedEnd != 0 && !extent.recordedEndUsable())
        qDebug("********************* %s recorded end %llu does not fit the recorded media, the movie goes at the end of the file!\n",
            name.constData(), static_cast<unsigned long long>(recordedEnd));

    movieDataAtom->size64 = extent.movieDataSize();
    if (!device->seek(qint64(extent.movieStart())))
        return false;
    return buildMovieAtom();
}

} // namespace Tolvan
