#ifndef TRACKLINES_H
#define TRACKLINES_H

#include "recordingwriter.h"
#include "takedescription.h"

#include <QString>
#include <QStringList>

// The movie tests compare a rebuilt movie's tracks as one line of text each:
//   track <id> <handler> <format> duration <d>[ edit <e>] media <d>/<scale>
//     stts <n>x<duration> ... stsc <first>:<samples>:1 ... stsz <n>x<size>
//     [<sizes>] co64 [<offsets>][ aligned]
// (" edit" only for a track with an edit list, " aligned" when its size and
// offset tables start on 512-byte boundaries). The atom library's side reads
// the lines from a movie; this side says what they must be for a take.

// Values joined by commas.
template <class List>
QString listText(const List& values)
{
    QStringList parts;
    for (auto value : values)
        parts.append(QString::number(value));
    return parts.join(',');
}

// How a family's repair lays out the tracks of a take.
struct TrackLayout
{
    bool editLists = false;        // every track has an edit list over the whole movie
    QString videoFormat;           // the video sample description's format
    quint32 videoFramesPerChunk = 3;
    qint64 appendedBlockAt = -1;   // where the repair appended a timecode block; -1 for none
};

struct ExpectedTracks
{
    quint32 movieDuration = 0;
    QStringList lines;
};

// The tracks the repair of `written` must give: the items wholly on the disk,
// the channel count the settings block holds, a movie as long as its video
// (or, without video, its sound, rounded up).
ExpectedTracks expectedTracks(const TakeDescription& take, const WrittenTake& written, const TrackLayout& layout);

#endif
