// Reading an unfinished Vesk recording: the defaults of a take, the frame
// map lent by the scanner and the end of the recorded media.

#include "quicktimefile.h"
#include "quicktimemovieplacement.h"
#include "veskreport.h"

bool QuickTimeFile::prepareRecording()
{
    resetForRecording();
    return frameMap != nullptr;
}

bool QuickTimeFile::recoverMovie()
{
    // A repair's writes begin with the timecode sample block, or with the
    // movie itself when the map had no room to list the block.
    const QList<QuickTimeEarlierRepair::Form> forms{ { timecodeSampleBlock(startTimecode), 1 }, { QByteArray(), 0 } };
    if (!QuickTimeMoviePlacement::place(*this, forms, 0, VeskReport::recordingName(device)))
        return false;
    return buildMovieAtom();
}
