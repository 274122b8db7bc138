#ifndef REPAIREDMOVIE_H
#define REPAIREDMOVIE_H

#include "readbackmovie.h"

#include <QStringList>

// What an Orla repair left in a recording, read back from the file, and the
// debug lines that repair printed.
class RepairedMovie : public Tolvan::ReadBackMovie
{
public:
    using ReadBackMovie::ReadBackMovie;

    // The zero block that closes the file after the movie atom.
    bool closingBlockIsZero() const { return blockAfter == QByteArray(512, '\0'); }

    // The debug lines the repair of `takePath` printed for this movie, from
    // "needs to be restored" to the last position line, with `notes` (the
    // lines about left-out items or an unusable recorded end) after the first.
    QStringList repairLines(const QString& takePath, const QStringList& notes = {}) const;
};

#endif
