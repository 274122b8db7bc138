#include "movieplacement.h"

#include "mediaextent.h"
#include "quicktimefile.h"
#include "takebounds.h"

#include <QIODevice>
#include <QtDebug>

namespace MoviePlacement {

bool place(QuickTimeFile& file, const QList<EarlierRepair::Form>& forms, quint32 minimumItems,
    const QByteArray& name)
{
    QIODevice* device = file.device;
    if (!device || !file.frameMap.read(device, qint64(file.profile.frameMapOffset())))
        return false;

    // A repair cut short before its commit left what it wrote behind the
    // media; the recorded media then ended where that repair began.
    const MediaExtent asItStands(file.frameMap, quint64(device->size()), file.recordedEnd);
    const EarlierRepair::Found earlier = EarlierRepair::find(file, forms, asItStands.listed);
    const MediaExtent extent = earlier.start != 0
        ? MediaExtent(asItStands.listed, earlier.whole, earlier.start, file.recordedEnd)
        : asItStands;
    file.videoFrameCount = extent.whole.videoFrames;
    file.audioChunkCount = extent.whole.audioChunks;
    file.timecodeSampleCount = extent.whole.timecodeSamples;
    // When the recorder's short last chunk is among the items left out, the
    // last one kept is a full one.
    if (extent.listed.audioChunks != extent.whole.audioChunks)
        file.audioLastChunkSamples = 0;
    file.refusal = TakeBounds::countsBreach(file);
    if (file.refusal)
        return false;
    if (extent.isTorn())
        qDebug("********************* %s %u listed items never reached the disk whole, the take is repaired without them!\n",
            name.constData(), extent.leftOutItems());
    if (quint64(file.videoFrameCount) + file.audioChunkCount + file.timecodeSampleCount < minimumItems)
        return false;
    if (file.recordedEnd != 0 && !extent.recordedEndUsable())
        qDebug("********************* %s recorded end %llu does not fit the recorded media, the movie goes at the end of the file!\n",
            name.constData(), static_cast<unsigned long long>(file.recordedEnd));

    file.movieDataAtom.size64 = extent.movieDataSize();
    return device->seek(qint64(extent.movieStart()));
}

} // namespace MoviePlacement

