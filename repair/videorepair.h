#ifndef VIDEOREPAIR_H
#define VIDEOREPAIR_H

#include "recordedformat.h"
#include "takeitems.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;
class QuickTimeFile;
class TakeFamily;

// One repair of an unfinished video take on its open device, for either
// family: the check of the open movie data header, the settings, the frame
// map, the rebuilt movie and its commit. Every failure is reported as its
// line; the outcome decides the take's name.
class VideoRepair
{
public:
    enum class Outcome {
        Repaired,         // the movie was rebuilt and is on the device
        CompletedEarlier, // an earlier run repaired it and ended before the rename
        AlreadyComplete,  // nothing to repair: the file already is a whole movie
        RebuildFailed,    // the rebuild was attempted and failed
        Unfinished,       // a write failed; the take still reads as unfinished (or
                          // as committed) and a later run redoes (or finishes) it
        NotRepaired,      // stopped before the rebuild; nothing was written
        OutOfMemory       // no memory for the repair; nothing was written
    };

    // What a repair learnt of its take on the way, for the take's result.
    struct Details
    {
        // Why an Unfinished take's write failed.
        QString writeProblem;
        // What was recorded: from the settings once they passed their
        // bounds, with the items kept once the map was counted.
        RecordedFormat recorded;
        TakeItems items;
    };

    // Whether the take now is a movie that plays: repaired now or before, or
    // a whole movie already.
    static bool leavesWholeMovie(Outcome outcome)
    {
        return outcome == Outcome::Repaired || outcome == Outcome::CompletedEarlier
            || outcome == Outcome::AlreadyComplete;
    }

    // `frameMapBuffer` holds FrameMap::byteSize bytes (null: none could be
    // allocated); `name` is the take's path as the report lines print it;
    // `details`, when given, receives what the repair learnt.
    static Outcome run(const TakeFamily& family, QIODevice* device, quint8* frameMapBuffer, const QByteArray& name,
        Details* details = nullptr);

private:
    // Writes the movie behind the media and commits it: lead, movie and
    // closing block, sync, read back and check, movie data header, sync.
    static bool writeAndCommit(QuickTimeFile& file, const TakeFamily& family, const QByteArray& name);
};

#endif
