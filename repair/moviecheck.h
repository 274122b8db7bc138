#ifndef MOVIECHECK_H
#define MOVIECHECK_H

#include <QtGlobal>

#include <memory>

class QIODevice;
class QuickTimeAtom;

// Whether a file already is a finished movie: stepping over its top-level
// atoms by their sizes from the start, every atom lies wholly in the file,
// and a closed movie data atom and a movie atom that parses are among them.
// A recording whose movie data atom the recorder left open is not finished:
// the walk then lands inside the media, where the sizes lead nowhere.
class MovieCheck
{
public:
    static bool isComplete(QIODevice* device);
    // The movie atom of a finished movie, parsed, as the one child of the
    // tree returned; null when the file is not a finished movie.
    static std::unique_ptr<QuickTimeAtom> readMovie(QIODevice* device);

    // Top-level atoms looked at before the walk gives up.
    static constexpr int atomLimit = 64;
};

#endif
