#ifndef MEDIAEXTENT_H
#define MEDIAEXTENT_H

#include "framemap.h"

// Where the recorded media of an unfinished recording ends, and so where its
// movie atom may go. The items wholly in the file are the ground truth: the
// recorder's own note of its end (`recordedEnd`) and the file size are only
// checked against them, so the movie never covers a byte that a listed item
// occupies, nor the head before the media.
class MediaExtent
{
public:
    MediaExtent(const FrameMap& frameMap, quint64 fileSize, quint64 recordedEnd);
    // The same from counts already taken, for media that end at `fileSize`.
    MediaExtent(const FrameMap::Count& listed, const FrameMap::Count& whole, quint64 fileSize, quint64 recordedEnd);

    // Everything the frame map lists, and the longest run of items from the
    // first one that lie wholly in the file: the items a movie can point at.
    FrameMap::Count listed;
    FrameMap::Count whole;

    // Items the map lists after the whole ones (torn or never written).
    quint32 leftOutItems() const { return listed.entries - whole.entries; }
    bool isTorn() const { return leftOutItems() != 0; }
    // End of the whole items.
    quint64 itemsEnd() const;
    // A nonzero recordedEnd that lies between itemsEnd() and the file size.
    bool recordedEndUsable() const;
    // Where the media may end at the latest: the file's end, or where an
    // earlier repair began.
    quint64 availableEnd() const { return fileSize; }
    // Leaves recordedEnd aside, for bytes after it that are not zero.
    void passRecordedEnd() { recordedEnd = 0; }
    // Where the movie atom goes: recordedEnd when usable, else the end of the file.
    quint64 movieStart() const;
    // The 64-bit size of the closed movie data atom: header and media up to movieStart().
    quint64 movieDataSize() const;

private:
    quint64 fileSize;
    quint64 recordedEnd;
};

#endif
