// Rebuilding a Vesk recording's movie: the timecode sample block at the end
// of the recorded media, the movie atom right behind it, and only then the
// movie data header with its real size. That header is the commit point: it
// is the last write, and until it is on the device a player (and a later
// scan) still sees the recording as the recorder left it.

#include "filesync.h"
#include "quicktimefile.h"
#include "quicktimemoviedataatom.h"
#include "veskmovietree.h"
#include "veskreport.h"

#include <QIODevice>
#include <QtDebug>

namespace {

bool writeFailed(const QIODevice* device)
{
    VeskReport::writeFailure(device);
    return false;
}

} // namespace

bool QuickTimeFile::buildMovieAtom()
{
    if (!device || !movieDataAtom)
        return false;
    appendTimecodeSample(startTimecode);
    switch (appendedTimecodeSample.state) {
    case AppendedTimecodeSample::State::Written:
        break;
    case AppendedTimecodeSample::State::NoRoomInFrameMap:
        qDebug("********************* %s frame map full, no timecode sample added!\n",
            VeskReport::recordingName(device).constData());
        break;
    case AppendedTimecodeSample::State::NotWritten:
        return writeFailed(device);
    }

    VeskMovieTree(this).build();
    const qint64 start = device->pos();
    if (!writeMovie())
        return false;
    const qint64 end = device->pos();
    if (!syncToDevice(device))
        return writeFailed(device);

    if (!device->seek(qint64(movieDataHeaderOffset)))
        return writeFailed(device);
    stream.resetStatus();
    movieDataAtom->write(stream);
    if (stream.status() != QDataStream::Ok || !syncToDevice(device))
        return writeFailed(device);

    qDebug("Recorded FILE Last Position Start:%lld End:%lld Size:%lld", static_cast<long long>(start),
        static_cast<long long>(end), static_cast<long long>(end - start));
    return true;
}
