#ifndef ORLAREPAIR_H
#define ORLAREPAIR_H

#include <QByteArray>

class Finalize;
class QIODevice;

// One repair of an Orla recording on its open device: the check of the open
// movie data header, the settings, the frame map and the rebuilt movie. Every
// failure is reported as its debug line; the outcome decides the file's name.
class OrlaRepair
{
public:
    enum class Outcome {
        Repaired,        // the movie was rebuilt and is on the device
        RebuildFailed,   // the rebuild was attempted and failed
        Unfinished,      // a write of the rebuild failed; the take still reads as
                         // unfinished (or as committed) and a later run redoes
                         // (or finishes) it
        CompletedEarlier, // an earlier run repaired it and ended before the rename
        AlreadyComplete, // nothing to repair: the file already is a whole movie
        NotRepaired      // stopped before the rebuild; nothing was written
    };

    // `name` is the recording's path as the report lines print it.
    static Outcome run(Finalize& scanner, QIODevice* device, const QByteArray& name);
};

#endif
