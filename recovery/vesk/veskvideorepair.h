#ifndef VESKVIDEOREPAIR_H
#define VESKVIDEOREPAIR_H

#include <QtGlobal>

class Finalize;
class QIODevice;

// One repair of a Vesk video recording on its open device: the check of the
// open movie data header, the settings, the frame map read into the
// scanner's buffer, and the rebuilt movie with its timecode sample.
class VeskVideoRepair
{
public:
    enum class Outcome {
        Repaired,    // the movie was rebuilt and is on the device
        NotRepaired, // the take cannot be repaired
        Unfinished   // a write failed; the take still reads as unfinished (or
                     // as committed) and a later run redoes (or finishes) it
    };

    // `frameMap` is the scanner's 5,472,000-byte work buffer, lent for this repair.
    static Outcome run(Finalize& scanner, QIODevice* device, quint8* frameMap);
};

#endif
