#ifndef REBUILDCHECK_H
#define REBUILDCHECK_H

#include "accessrecordingbuffer.h"
#include "takedescription.h"
#include "variant.h"

#include <QByteArray>
#include <QString>

QTLIB_BEGIN_NAMESPACE

class QuickTimeAtom;

// What a movie rebuild may leave in a recording, checked from the bytes
// alone, without the repair's own reasoning: built once per atom-library
// variant, like the library it reads the movie with.
class RebuildCheck
{
public:
    // A second run over a repaired take parses its whole movie again; the
    // fuzz targets make one for movies up to this size, so that the runs of
    // full frame maps stay quick.
    static constexpr quint64 largestMovieRunAgain = 1 << 20;

    // `before` is the recording as the recorder left it; `after` the same
    // recording once the family's repair ran on it.
    RebuildCheck(RecorderFamily family, const QByteArray& before, const AccessRecordingBuffer& after);

    // A take that was not repaired: not one byte written. Empty when it holds,
    // else the broken invariant.
    QString untouched() const;
    // A take whose rebuilt movie was never committed (a write or the check of
    // what was written failed): the movie data header still open, and only
    // bytes after the recorded media written.
    QString uncommitted() const;
    // A repaired take: only the movie data header and bytes after the
    // recorded media written, a movie the library's reader parses behind
    // the media, every table within the media and agreeing with the frame
    // map and the vendor atom.
    QString repaired();
    // Bytes of the rebuilt movie atom, once repaired() found it.
    quint64 movieAtomSize() const { return movieSize; }

private:
    // Where the recorded media ends as the recorder's own note and the
    // frame map give it: what a repair may not write below.
    void findRecordedMedia();
    // One track as its tables describe it.
    struct TrackSummary
    {
        quint32 handler = 0; // the media handler's subtype
        quint64 samples = 0;
        quint64 chunks = 0;
    };

    // Only the movie data header (when `headerWritten`) and bytes after the
    // recorded media written; the head and the media unchanged.
    QString checkWrites(bool headerWritten) const;
    QString checkTrack(const QuickTimeAtom* track, TrackSummary& summary) const;
    QString checkVendorAtom(const QuickTimeAtom* movie) const;
    QString checkTracksAgainst(const QuickTimeAtom* movie, const quint64 (&counts)[4]) const;
    quint16 mapEntry(qint64 index) const;

    RecorderFamily family;
    const QByteArray& before;
    const AccessRecordingBuffer& after;

    // The listed items that lie wholly in the file, from the first: their
    // entries (kind 3 ones included) and the counted ones of each kind.
    qint64 wholeEntries = 0;
    quint64 wholeCounts[4] = {};
    quint64 recordedMediaEnd = 0;
    // Where the rebuilt movie atom starts, from the closed movie data header.
    quint64 movieStart = 0;
    quint64 movieSize = 0;
};

QTLIB_END_NAMESPACE

#endif
