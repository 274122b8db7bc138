// Reading an unfinished Orla recording: the defaults of a take, the frame
// map and the end of the recorded media.

#include "orlarecordingname.h"
#include "quicktimefile.h"
#include "quicktimemovieplacement.h"

#include <new>

namespace Tolvan {

namespace {
// Fewer items than this are not a take worth a movie.
constexpr quint32 minimumItems = 30;
}

bool QuickTimeFile::prepareRecording()
{
    resetForRecording();
    if (!frameMap)
        frameMap = new (std::nothrow) quint8[frameMapSize];
    return frameMap != nullptr;
}

bool QuickTimeFile::recoverMovie()
{
    // The newer recorders write their own timecode sample: a repair's writes
    // begin with the movie itself.
    if (!QuickTimeMoviePlacement::place(*this, { { QByteArray(), 0 } }, minimumItems, orlaRecordingName(device)))
        return false;
    return buildMovieAtom();
}

} // namespace Tolvan
