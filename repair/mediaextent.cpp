#include "mediaextent.h"

MediaExtent::MediaExtent(const FrameMap& frameMap, quint64 fileSize, quint64 recordedEnd)
    : fileSize(fileSize)
    , recordedEnd(recordedEnd)
{
    frameMap.count(fileSize, listed, whole);
}

MediaExtent::MediaExtent(const FrameMap::Count& listed, const FrameMap::Count& whole, quint64 fileSize,
    quint64 recordedEnd)
    : listed(listed)
    , whole(whole)
    , fileSize(fileSize)
    , recordedEnd(recordedEnd)
{
}

quint64 MediaExtent::itemsEnd() const
{
    return whole.end();
}

bool MediaExtent::recordedEndUsable() const
{
    return recordedEnd != 0 && recordedEnd >= itemsEnd() && recordedEnd <= fileSize;
}

quint64 MediaExtent::movieStart() const
{
    if (recordedEndUsable())
        return recordedEnd;
    // A file that ends inside its own head has no media to keep; the movie
    // still goes behind the head, never into it.
    return qMax(fileSize, itemsEnd());
}

quint64 MediaExtent::movieDataSize() const
{
    return 16 + (movieStart() - FrameMap::mediaStart);
}

