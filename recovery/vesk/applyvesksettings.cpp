#include "scan/finalize.h"

#include "quicktimefile.h"

namespace {
// What the older recorders always use; their settings block has no field for it.
constexpr quint32 audioSamplesPerChunk = 3072;
constexpr quint32 videoFramesPerChunk = 3;
}

void Finalize::applyVeskSettings(const VeskRecoverySettings* settings, QuickTimeFile* file)
{
    file->setTimecode(settings->startTimecode(), settings->dropFrame(), 0);
    file->setSummary(settings->vendorValue1(), settings->vendorValue2(), settings->recordedRate(),
        settings->dropFrame(), settings->vendorValue5(), settings->audioChannelCount(),
        settings->audioBytesPerSample() * 8, settings->audioSampleRate(), settings->progressiveSegmented());

    file->width = settings->width();
    file->height = settings->height();
    file->interlaced = settings->interlaced();
    file->avidCompressionId = settings->avidCompressionId();
    // An interlaced take notes its field rate; the movie runs at the frame rate.
    const quint32 rate = settings->recordedRate();
    file->setFrameRate(file->interlaced != 0 ? rate >> 1 : rate);

    file->videoCodec = settings->videoCodec();
    file->proResFlavour = settings->proResFlavour();

    file->audioChannelCount = settings->audioChannelCount();
    file->audioSamplesPerChunk = audioSamplesPerChunk;
    file->setBytesPerSample(int(settings->audioBytesPerSample()));
    file->setAudioSampleRate(int(settings->audioSampleRate()));
    file->videoSamplesPerChunk = videoFramesPerChunk;

    file->reelName = settings->reelName();

    file->audioLastChunkSamples = settings->audioLastChunkSamples();
    file->audioFirstChunkSamples = settings->audioFirstChunkSamples();
    file->recordedEnd = settings->recordedEnd();
}
