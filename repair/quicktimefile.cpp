#include "quicktimefile.h"

#include "filesync.h"
#include "quicktimebufferdevice.h"
#include "repairreport.h"
#include "storedbytes.h"

#include <QIODevice>
#include <QtEndian>

namespace {
const char openMovieDataHeader[16] = { 0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 16 };
}

QuickTimeFile::QuickTimeFile(QIODevice* device, const RecorderProfile& profile, quint8* frameMapBuffer)
    : device(device)
    , stream(device)
    , profile(profile)
    , frameMap(frameMapBuffer)
    , movieDataAtom(fourCC("mdat"), 16)
{
    root.size = 0;
}

bool QuickTimeFile::hasOpenMovieDataAtom()
{
    if (!device || quint64(device->size()) <= mediaDataOffset)
        return false;
    if (!device->seek(qint64(movieDataHeaderOffset)))
        return false;
    return device->read(16) == QByteArray::fromRawData(openMovieDataHeader, sizeof openMovieDataHeader);
}

bool QuickTimeFile::readRecoverySettings()
{
    if (!device || !device->seek(qint64(profile.settingsOffset)))
        return false;
    recoverySettings = device->read(profile.settings.size);
    return recoverySettings.size() == profile.settings.size;
}

void QuickTimeFile::setFrameRate(quint32 rate)
{
    frameRate = rate;
    if (rate == 2397 || rate == 2398) {
        videoTimeScale = 23976;
        videoSampleDuration = 1000;
    } else {
        videoTimeScale = rate;
        videoSampleDuration = 100;
    }
}

bool QuickTimeFile::writeMovie(const QByteArray& lead)
{
    if (!device)
        return false;
    QuickTimeBufferDevice buffered(device, movieBufferSize);
    if (!buffered.open(profile.movieOpenMode))
        return false;
    QDataStream out(&buffered);
    if (!lead.isEmpty())
        out.writeRawData(lead.constData(), int(lead.size()));
    root.write(out);
    // The last partial buffer must reach the disk before success is claimed.
    buffered.flush();
    return !buffered.hasFailed() && out.status() == QDataStream::Ok;
}

bool QuickTimeFile::commitMovieData()
{
    if (!device || !device->seek(qint64(movieDataHeaderOffset)))
        return false;
    stream.resetStatus();
    movieDataAtom.write(stream);
    return stream.status() == QDataStream::Ok && syncToDevice(device);
}

bool QuickTimeFile::writeFailed()
{
    writeProblem = RepairReport::writeProblem(device);
    const QByteArray header = storedBytes(device, qint64(movieDataHeaderOffset), 16);
    QByteArray committed(openMovieDataHeader, sizeof openMovieDataHeader);
    qToBigEndian<quint64>(movieDataAtom.size64, committed.data() + 8);
    repairableAfterWriteFailure = header == QByteArray::fromRawData(openMovieDataHeader, sizeof openMovieDataHeader)
        || header == committed;
    return false;
}
