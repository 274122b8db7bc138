#ifndef MOVIEVERIFIER_H
#define MOVIEVERIFIER_H

#include <QtGlobal>

class QIODevice;

// Reads a rebuilt movie back from the recording with the library's reader
// and checks what a player relies on, before the movie data header commits
// it: the movie atom parses and starts where the media data atom ends, every
// chunk (its offset plus the bytes of its samples) lies inside the recorded
// media that atom covers, and each track's time-to-sample, sample size and
// sample-to-chunk tables count the same samples.
class MovieVerifier
{
public:
    enum class Result {
        Sound,
        Unreadable,     // no movie atom parses where the media data ends
        MediaNotCovered, // the media data atom does not end where the movie starts
        IncompleteTrack, // a track lacks one of its sample tables
        CountsDisagree, // the tables of a track count different samples
        OutsideMedia    // a chunk lies outside the recorded media
    };

    // The movie at `movieStart`, for a media data atom of 64-bit size
    // `movieDataSize` (its 16-byte header plus the media) at the recorder's
    // movie data header offset.
    static Result check(QIODevice* device, quint64 movieDataSize, quint64 movieStart);
    // The movie a closed movie data header already commits: the one right
    // behind the media the header covers. Unreadable while the header is open.
    static Result checkCommitted(QIODevice* device);

    // What is wrong, in a few words for a report line.
    static const char* reason(Result result);
};

#endif
