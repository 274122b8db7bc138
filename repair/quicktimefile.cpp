#include "quicktimefile.h"

#include "filesync.h"
#include "quicktimebufferdevice.h"
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

void QuickTimeFile::resetForRecording()
{
    width = 1920;
    height = 1080;
    avidCompressionId = 1238;
    interlaced = 0;
    frameRate = 2400;
    videoSampleDuration = 100;
    videoTimeScale = 2400;
    audioSampleRate = 48000;
    audioBytesPerSample = 4;
    audioChannelCount = 1;
    audioSamplesPerChunk = 512;
    dropFrame = 0;
    startTimecode = 0;
    reelName = QStringLiteral("1");
    audioLastChunkSamples = 0;
    audioFirstChunkSamples = 0;
    audioLittleEndian = 1;
    videoFrameCount = 0;
    audioChunkCount = 0;
    timecodeSampleCount = 0;
    refusal = nullptr;
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
    const QByteArray header = storedBytes(device, qint64(movieDataHeaderOffset), 16);
    QByteArray committed(openMovieDataHeader, sizeof openMovieDataHeader);
    qToBigEndian<quint64>(movieDataAtom.size64, committed.data() + 8);
    repairableAfterWriteFailure = header == QByteArray::fromRawData(openMovieDataHeader, sizeof openMovieDataHeader)
        || header == committed;
    return false;
}
