// Rebuilding a Vesk recording's movie: the timecode sample block at the end
// of the recorded media and the movie atom right behind it, written in one
// run and synced, then read back and checked, and only then the movie data
// header with its real size. That header is the commit point: it is the last
// write, and until it is on the device a player (and a later scan) still sees
// the recording as the recorder left it.

#include "filesync.h"
#include "quicktimefile.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovieverifier.h"
#include "veskmovietree.h"
#include "veskreport.h"

#include <QIODevice>
#include <QtDebug>

bool QuickTimeFile::buildMovieAtom()
{
    if (!device || !movieDataAtom)
        return false;
    using State = AppendedTimecodeSample::State;
    appendTimecodeSample(startTimecode);
    switch (appendedTimecodeSample.state) {
    case State::Placed:
        break;
    case State::NoRoomInFrameMap:
        qDebug("********************* %s frame map full, no timecode sample added!\n",
            VeskReport::recordingName(device).constData());
        break;
    case State::NotPlaced:
        VeskReport::writeFailure(device);
        return writeFailed();
    }

    VeskMovieTree(this).build();
    const qint64 start = device->pos();
    const bool blockPlaced = appendedTimecodeSample.state == State::Placed;
    // A write that fails leaves the movie data header open: the take stays
    // as it was for a later run.
    if ((blockPlaced && !device->seek(qint64(appendedTimecodeSample.blockOffset)))
        || !writeMovie(blockPlaced ? appendedTimecodeSample.block : QByteArray()) || !syncToDevice(device)) {
        VeskReport::writeFailure(device);
        return writeFailed();
    }
    const qint64 end = device->pos();

    const QuickTimeMovieVerifier::Result check = QuickTimeMovieVerifier::check(device, movieDataAtom->size64, quint64(start));
    if (check != QuickTimeMovieVerifier::Result::Sound) {
        VeskReport::failure(VeskReport::recordingName(device), QuickTimeMovieVerifier::reason(check));
        return false;
    }

    if (!commitMovieData()) {
        VeskReport::writeFailure(device);
        return writeFailed();
    }

    qDebug("Recorded FILE Last Position Start:%lld End:%lld Size:%lld", static_cast<long long>(start),
        static_cast<long long>(end), static_cast<long long>(end - start));
    return true;
}
