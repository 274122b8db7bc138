// Completing an Orla recording once its movie atom is built: the atom goes
// behind the media, a zero block closes the file, both synced; the movie is
// read back and checked, and only then does the movie data header get its
// real size. That header is the commit point: it is the last write, and
// until it is on the device a player (and a later scan) still sees the
// recording as the recorder left it.

#include "filesync.h"
#include "orlarecordingname.h"
#include "quicktimefile.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovieverifier.h"

#include <QIODevice>
#include <QtDebug>

namespace Tolvan {

namespace {

constexpr int closingBlockSize = 512;

void reportDeviceError(const QIODevice* device)
{
    qDebug("%s", qUtf8Printable(device->errorString()));
}

} // namespace

bool QuickTimeFile::completeMovie()
{
    const qint64 start = device->pos();
    // A write that fails leaves the movie data header open: the take stays
    // as it was for a later run (the buffered device said why).
    if (!writeMovie())
        return writeFailed();
    const qint64 end = device->pos();

    static const char zeros[closingBlockSize] = {};
    stream.resetStatus();
    if (stream.writeRawData(zeros, closingBlockSize) != closingBlockSize || !syncToDevice(device)) {
        reportDeviceError(device);
        return writeFailed();
    }

    const QuickTimeMovieVerifier::Result check = QuickTimeMovieVerifier::check(device, movieDataAtom->size64, quint64(start));
    if (check != QuickTimeMovieVerifier::Result::Sound) {
        qDebug("********************* %s recovery failed, %s!\n", orlaRecordingName(device).constData(),
            QuickTimeMovieVerifier::reason(check));
        return false;
    }

    if (!commitMovieData()) {
        reportDeviceError(device);
        return writeFailed();
    }

    qDebug("Recorded FILE Last Position Start:%lld End:%lld Size:%lld", static_cast<long long>(start),
        static_cast<long long>(end), static_cast<long long>(end - start));
    return true;
}

} // namespace Tolvan
