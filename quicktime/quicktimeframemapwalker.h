#ifndef QUICKTIMEFRAMEMAPWALKER_H
#define QUICKTIMEFRAMEMAPWALKER_H

#include "variant.h"

QTLIB_BEGIN_NAMESPACE

class QuickTimeFile;

// Walks the counted entries of a file's frame map in order, keeping the file
// offset of each entry's item: items of every kind lie back to back from the
// media data offset. Kind 3 entries are counted by no track, so the walk
// steps over them (their blocks still move the offset) and ends after the
// counted entries, not after as many entries of any kind.
class QuickTimeFrameMapWalker
{
public:
    explicit QuickTimeFrameMapWalker(const QuickTimeFile* file);

    // The next entry's kind, its length in bytes and where its item starts.
    bool next(int& kind, quint32& length, quint64& position);
    // Like next(), but skips to the next entry of `wanted` kind.
    bool nextOfKind(int wanted, quint32& length, quint64& position);

private:
    const quint8* map;
    quint32 total;
    quint32 counted;
    quint32 cursor;
    quint64 running;
};

QTLIB_END_NAMESPACE

#endif
