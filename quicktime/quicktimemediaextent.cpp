#include "quicktimemediaextent.h"

#include "quicktimefile.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeMediaExtent::QuickTimeMediaExtent(const quint8* frameMap, quint64 fileSize, quint64 recordedEnd)
    : fileSize(fileSize)
    , recordedEnd(recordedEnd)
{
    QuickTimeFrameMapCount::count(frameMap, fileSize, listed, whole);
}

quint64 QuickTimeMediaExtent::itemsEnd() const
{
    return QuickTimeFile::mediaDataOffset + whole.mediaBytes;
}

bool QuickTimeMediaExtent::recordedEndUsable() const
{
    return recordedEnd != 0 && recordedEnd >= itemsEnd() && recordedEnd <= fileSize;
}

quint64 QuickTimeMediaExtent::movieStart() const
{
    if (recordedEndUsable())
        return recordedEnd;
    // A file that ends inside its own head has no media to keep; the movie
    // still goes behind the head, never into it.
    return qMax(fileSize, itemsEnd());
}

quint64 QuickTimeMediaExtent::movieDataSize() const
{
    return 16 + (movieStart() - QuickTimeFile::mediaDataOffset);
}

QTLIB_END_NAMESPACE
