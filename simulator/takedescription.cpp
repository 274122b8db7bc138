#include "takedescription.h"

#include "sourcevideo.h"

#include <cmath>

TakeDescription TakeDescription::forFamily(RecorderFamily family)
{
    TakeDescription take;
    take.family = family;
    if (family == RecorderFamily::Vesk) {
        take.videoSamplesPerChunk = 3;
        take.audioSamplesPerChunk = 3072;
        take.timecodeSampleInMap = false;
    }
    return take;
}

void TakeDescription::setVideo(const EncodedVideo& video)
{
    width = quint16(video.format.width);
    height = quint16(video.format.height);
    interlaced = video.format.interlaced;
    recordedRate = recordedRateFor(video.format.frameRate, video.format.interlaced);
    codecNumbers(family, video.format, &videoCodec, &proResFlavour);
    if (video.format.codec == VideoCodec::DNxHD && video.avidCompressionId != 0)
        avidCompressionId = video.avidCompressionId;
    videoFrames = video.frames;
    videoFrameMd5 = video.frameMd5;
}

void TakeDescription::setStandInFrames(int count, int firstBytes, int growth)
{
    videoFrames.clear();
    videoFrameMd5.clear();
    for (int i = 0; i < count; ++i) {
        videoFrames.append(QByteArray(firstBytes + growth * i, char('a' + i % 26)));
        videoFrameMd5.append(QString());
    }
}

void TakeDescription::setAudio(quint32 channels, quint32 bytesPerSample, int chunkCount,
                               quint32 firstChunkSamples, quint32 lastChunkSamples)
{
    audioChannelCount = channels;
    audioBytesPerSample = bytesPerSample;
    audioChunkCount = chunkCount;
    audioFirstChunkSamples = firstChunkSamples;
    audioLastChunkSamples = lastChunkSamples;
}

quint32 TakeDescription::samplesInAudioChunk(int chunk) const
{
    if (chunk == 0 && audioFirstChunkSamples != 0)
        return audioFirstChunkSamples;
    if (chunk == audioChunkCount - 1 && audioLastChunkSamples != 0)
        return audioLastChunkSamples;
    return audioSamplesPerChunk;
}

qint64 TakeDescription::audioSamplesPerChannel() const
{
    qint64 total = 0;
    for (int chunk = 0; chunk < audioChunkCount; ++chunk)
        total += samplesInAudioChunk(chunk);
    return total;
}

quint32 TakeDescription::movieTimeScale() const
{
    const quint32 rate = interlaced ? recordedRate >> 1 : recordedRate;
    return (rate == 2397 || rate == 2398) ? 23976 : rate;
}

quint32 TakeDescription::movieFrameDuration() const
{
    const quint32 rate = interlaced ? recordedRate >> 1 : recordedRate;
    return (rate == 2397 || rate == 2398) ? 1000 : 100;
}

QList<ItemKind> TakeDescription::resolvedItemOrder() const
{
    if (!itemOrder.isEmpty())
        return itemOrder;
    QList<ItemKind> order;
    if (timecodeSampleInMap)
        order.append(ItemKind::TimecodeSample);
    const int framesPerGroup = int(qMax<quint32>(videoSamplesPerChunk, 1));
    int frames = 0;
    int chunks = 0;
    while (frames < videoFrames.size() || chunks < audioChunkCount) {
        for (int i = 0; i < framesPerGroup && frames < videoFrames.size(); ++i, ++frames)
            order.append(ItemKind::VideoFrame);
        if (chunks < audioChunkCount) {
            order.append(ItemKind::AudioChunk);
            ++chunks;
        }
    }
    return order;
}

void TakeDescription::codecNumbers(RecorderFamily family, const VideoFormat& format,
                                   quint32* videoCodec, quint32* proResFlavour)
{
    quint32 codec = 0;
    quint32 flavour = 0;
    if (format.codec == VideoCodec::ProRes) {
        const bool newer = family == RecorderFamily::Orla;
        switch (format.proResProfile) {
        case ProResProfile::P4444Xq: codec = 2; flavour = 0; break;
        case ProResProfile::P4444: codec = 2; flavour = newer ? 1 : 0; break;
        case ProResProfile::Hq: codec = 1; flavour = newer ? 1 : 0; break;
        case ProResProfile::Standard: codec = 1; flavour = newer ? 2 : 1; break;
        case ProResProfile::Lt: codec = 1; flavour = newer ? 3 : 2; break;
        case ProResProfile::Proxy: codec = 1; flavour = newer ? 4 : 3; break;
        }
    }
    if (videoCodec)
        *videoCodec = codec;
    if (proResFlavour)
        *proResFlavour = flavour;
}

quint32 TakeDescription::recordedRateFor(const QString& frameRate, bool interlaced)
{
    const QStringList parts = frameRate.split(QLatin1Char('/'));
    const double numerator = parts.value(0).toDouble();
    const double denominator = parts.size() > 1 ? parts.value(1).toDouble() : 1.0;
    if (numerator <= 0 || denominator <= 0)
        return 0;
    const quint32 hundredths = quint32(std::lround(numerator * 100.0 / denominator));
    return interlaced ? hundredths * 2 : hundredths;
}
