// Completing an Orla recording once its movie atom is built: the atom goes
// behind the media, a zero block closes the file, and only then does the
// movie data header get its real size. That header is the commit point: it
// is the last write, and until it is on the device a player (and a later
// scan) still sees the recording as the recorder left it.

#include "filesync.h"
#include "quicktimefile.h"
#include "quicktimemoviedataatom.h"

#include <QIODevice>
#include <QtDebug>

namespace Tolvan {

namespace {

constexpr int closingBlockSize = 512;

bool failed(QIODevice* device)
{
    qDebug("%s", qPrintable(device->errorString()));
    return false;
}

} // namespace

bool QuickTimeFile::completeMovie()
{
    const qint64 start = device->pos();
    if (!writeMovie())
        return false;
    const qint64 end = device->pos();

    static const char zeros[closingBlockSize] = {};
    stream.resetStatus();
    if (stream.writeRawData(zeros, closingBlockSize) != closingBlockSize || !syncToDevice(device))
        return failed(device);

    if (!device->seek(qint64(movieDataHeaderOffset)))
        return failed(device);
    movieDataAtom->write(stream);
    if (stream.status() != QDataStream::Ok || !syncToDevice(device))
        return failed(device);

    qDebug("Recorded FILE Last Position Start:%lld End:%lld Size:%lld", static_cast<long long>(start),
        static_cast<long long>(end), static_cast<long long>(end - start));
    return true;
}

} // namespace Tolvan
