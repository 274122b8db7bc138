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
    // True when the movie was rebuilt and is on the device. `frameMap` is
    // the scanner's 5,472,000-byte work buffer, lent for this repair.
    static bool run(Finalize& scanner, QIODevice* device, quint8* frameMap);
};

#endif
