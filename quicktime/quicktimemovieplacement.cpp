#include "quicktimemovieplacement.h"

#include "quicktimefile.h"
#include "quicktimemediaextent.h"
#include "quicktimemoviedataatom.h"
#include "quicktimetakebounds.h"

#include <QIODevice>
#include <QtDebug>

QTLIB_BEGIN_NAMESPACE

namespace QuickTimeMoviePlacement {

bool place(QuickTimeFile& file, const QList<QuickTimeEarlierRepair::Form>& forms, quint32 minimumItems,
    const QByteArray& name)
{
    QIODevice* device = file.device;
    if (!device || !file.frameMap || !file.movieDataAtom)
        return false;
    if (!device->seek(qint64(QuickTimeFile::frameMapOffset)))
        return false;
    if (device->read(reinterpret_cast<char*>(file.frameMap), qint64(QuickTimeFile::frameMapSize))
        != qint64(QuickTimeFile::frameMapSize))
        return false;

    // A repair cut short before its commit left what it wrote behind the
    // media; the recorded media then ended where that repair began.
    const QuickTimeMediaExtent asItStands(file.frameMap, quint64(device->size()), file.recordedEnd);
    const quint64 earlierRepair = QuickTimeEarlierRepair::start(file, forms, asItStands.listed);
    const QuickTimeMediaExtent extent
        = earlierRepair != 0 ? QuickTimeMediaExtent(file.frameMap, earlierRepair, file.recordedEnd) : asItStands;
    file.videoFrameCount = extent.whole.videoFrames;
    file.audioChunkCount = extent.whole.audioChunks;
    file.timecodeSampleCount = extent.whole.timecodeSamples;
    // When the recorder's short last chunk is among the items left out, the
    // last one kept is a full one.
    if (extent.listed.audioChunks != extent.whole.audioChunks)
        file.audioLastChunkSamples = 0;
    file.refusal = QuickTimeTakeBounds::countsBreach(file);
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

    file.movieDataAtom->size64 = extent.movieDataSize();
    return device->seek(qint64(extent.movieStart()));
}

} // namespace QuickTimeMoviePlacement

QTLIB_END_NAMESPACE
