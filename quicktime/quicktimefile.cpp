#include "quicktimefile.h"

#include "quicktimebufferdevice.h"
#include "quicktimeframemapwalker.h"
#include "quicktimemoviedataatom.h"
#include "filesync.h"
#include "quicktimeskipatom.h"
#include "storedbytes.h"

#include <QIODevice>

#include <QtEndian>

#include <cstring>

QTLIB_BEGIN_NAMESPACE

#if QTLIB_VARIANT_TOLVAN
QuickTimeFile::QuickTimeFile(QIODevice* device)
    : device(device)
    , stream(device)
    , movieDataAtom(nullptr)
    , frameMap(nullptr)
#else
QuickTimeFile::QuickTimeFile(QIODevice* device, quint8* frameMap)
    : device(device)
    , stream(device)
    , movieDataAtom(nullptr)
    , frameMap(frameMap)
#endif
    , width(0)
    , height(0)
    , avidCompressionId(0)
    , interlaced(0)
    , frameRate(0)
    , videoSampleDuration(0)
    , videoTimeScale(0)
    , videoCodec(0)
    , proResFlavour(0)
    , audioSampleRate(0)
    , audioBytesPerSample(0)
    , audioChannelCount(0)
    , audioSamplesPerChunk(0)
    , videoSamplesPerChunk(0)
    , dropFrame(0)
    , timecodeCounter(0)
    , startTimecode(0)
    , audioLastChunkSamples(0)
    , audioFirstChunkSamples(0)
    , audioLittleEndian(0)
    , recordedEnd(0)
    , videoFrameCount(0)
    , audioChunkCount(0)
    , timecodeSampleCount(0)
    , refusal(nullptr)
{
    root.file = this;
    root.size = 0;
    std::memset(recoverySettings.bytes, 0, sizeof recoverySettings.bytes);
    std::memset(vendorValues, 0, sizeof vendorValues);
}

QuickTimeFile::~QuickTimeFile()
{
    delete movieDataAtom;
    if (Variant::ownsFrameMap)
        delete[] frameMap;
}

bool QuickTimeFile::writeMovie(const QByteArray& lead)
{
    if (!device)
        return false;
    QuickTimeBufferDevice buffered(device, movieBufferSize);
    if (!buffered.open(Variant::movieOpenMode))
        return false;
    QDataStream out(&buffered);
    if (!lead.isEmpty())
        out.writeRawData(lead.constData(), int(lead.size()));
    root.write(out);
    // The last partial buffer must reach the disk before success is claimed.
    buffered.flush();
    return !buffered.hasFailed() && out.status() == QDataStream::Ok;
}

namespace {
const char openMovieDataHeader[16] = { 0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 16 };
}

bool QuickTimeFile::hasOpenMovieDataAtom()
{
    if (!device || quint64(device->size()) <= mediaDataOffset)
        return false;
    if (!device->seek(qint64(movieDataHeaderOffset)))
        return false;
    const QByteArray header = device->read(16);
    return header == QByteArray::fromRawData(openMovieDataHeader, sizeof openMovieDataHeader);
}

bool QuickTimeFile::commitMovieData()
{
    if (!device || !movieDataAtom || !device->seek(qint64(movieDataHeaderOffset)))
        return false;
    stream.resetStatus();
    movieDataAtom->write(stream);
    return stream.status() == QDataStream::Ok && syncToDevice(device);
}

bool QuickTimeFile::writeFailed()
{
    const QByteArray header = storedBytes(device, qint64(movieDataHeaderOffset), 16);
    QByteArray committed(openMovieDataHeader, sizeof openMovieDataHeader);
    if (movieDataAtom)
        qToBigEndian<quint64>(movieDataAtom->size64, committed.data() + 8);
    repairableAfterWriteFailure = header == QByteArray::fromRawData(openMovieDataHeader, sizeof openMovieDataHeader)
        || header == committed;
    return false;
}

RecoverySettings* QuickTimeFile::readRecoverySettings()
{
    if (!device || !device->seek(qint64(settingsOffset)))
        return nullptr;
    char* bytes = reinterpret_cast<char*>(recoverySettings.bytes);
    if (device->read(bytes, qint64(settingsSize)) != qint64(settingsSize))
        return nullptr;
    return &recoverySettings;
}

void QuickTimeFile::addAlignmentSkip(QuickTimeAtom* parent, quint64 lead)
{
    QuickTimeSkipAtom* skip = parent->addChild(new QuickTimeSkipAtom(this));
    const quint64 start = quint64(skip->offset) + 8 + lead;
    const quint64 pad = (512 - start % 512) % 512;
    skip->growSize(quint32(pad));
}

quint32 QuickTimeFile::frameMapEntryTotal() const
{
    const quint64 total = quint64(videoFrameCount) + audioChunkCount + timecodeSampleCount;
    return quint32(qMin<quint64>(total, frameMapCapacity));
}

quint32 QuickTimeFile::frameMapSpan() const
{
    QuickTimeFrameMapWalker walker(this);
    int kind = 0;
    quint32 length = 0;
    quint64 position = 0;
    while (walker.next(kind, length, position)) {
    }
    return walker.entriesWalked();
}

bool QuickTimeFile::frameMapEntry(quint32 index, int* kind, quint32* size) const
{
    if (!frameMap || index >= frameMapEntryTotal())
        return false;
    const quint16 entry = quint16(frameMap[2 * index] | (frameMap[2 * index + 1] << 8));
    if (kind)
        *kind = entry >> 14;
    if (size)
        *size = quint32(entry & 0x3FFF) * 512;
    return true;
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

    qDeleteAll(root.children);
    root.children.clear();
    root.size = 0;
    delete movieDataAtom;
    movieDataAtom = new QuickTimeMovieDataAtom(0, this);
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

void QuickTimeFile::setAudioSampleRate(int rate)
{
    audioSampleRate = quint32(rate);
}

void QuickTimeFile::setBytesPerSample(int bytes)
{
    audioBytesPerSample = quint32(bytes);
}

void QuickTimeFile::setTimecode(quint32 value, quint8 drop, quint8 counter)
{
    startTimecode = value;
    dropFrame = drop;
    timecodeCounter = counter;
}

void QuickTimeFile::setSummary(quint32 value1, quint32 value2, quint32 value3, quint32 value4,
    quint32 value5, quint32 value6, quint32 value7, quint32 value8, quint32 value9)
{
    const quint32 values[9] = { value1, value2, value3, value4, value5, value6, value7, value8, value9 };
    std::memcpy(vendorValues, values, sizeof vendorValues);
}

void QuickTimeFile::summaryValues(quint32* value1, quint32* value2, quint32* value3, quint32* value4,
    quint32* value5, quint32* value6, quint32* value7, quint32* value8, quint32* value9) const
{
    quint32* outputs[9] = { value1, value2, value3, value4, value5, value6, value7, value8, value9 };
    for (int i = 0; i < 9; ++i) {
        if (outputs[i])
            *outputs[i] = vendorValues[i];
    }
}

QTLIB_END_NAMESPACE
