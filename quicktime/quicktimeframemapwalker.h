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
    // Walks a bare map (QuickTimeFile::frameMapSize bytes, or null) until
    // `total` counted entries or the map's capacity are reached.
    QuickTimeFrameMapWalker(const quint8* map, quint32 total);

    // The next entry's kind, its length in bytes and where its item starts.
    // Inline: the table writers call it for every entry of the map.
    bool next(int& kind, quint32& length, quint64& position)
    {
        if (counted >= total || cursor >= capacity)
            return false;
        const quint32 entry = quint32(map[2 * cursor]) | (quint32(map[2 * cursor + 1]) << 8);
        ++cursor;
        kind = int(entry >> 14);
        if (kind != unusedKind)
            ++counted;
        length = (entry & 0x3FFF) * 512;
        position = running;
        running += length;
        return true;
    }

    // Entries stepped over so far, kind 3 ones included: after the last
    // counted entry, how far into the map the walk reaches.
    quint32 entriesWalked() const { return cursor; }

    // Like next(), but skips to the next entry of `wanted` kind.
    bool nextOfKind(int wanted, quint32& length, quint64& position)
    {
        int kind = 0;
        while (next(kind, length, position)) {
            if (kind == wanted)
                return true;
        }
        return false;
    }

private:
    static constexpr int unusedKind = 3;
    static constexpr quint32 capacity = 5472000 / 2;

    const quint8* map;
    quint32 total;
    quint32 counted;
    quint32 cursor;
    quint64 running;
};

QTLIB_END_NAMESPACE

#endif
