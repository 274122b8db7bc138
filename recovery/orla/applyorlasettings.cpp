#include "scan/finalize.h"

#include "quicktimefile.h"

void Finalize::applyOrlaSettings(const OrlaRecoverySettings* settings, Tolvan::QuickTimeFile* file)
{
    // The recorder's own timecode sample is already in the media; none is written.
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

    file->audioSamplesPerChunk = settings->audioSamplesPerChunk();
    file->setBytesPerSample(int(settings->audioBytesPerSample()));
    file->setAudioSampleRate(int(settings->audioSampleRate()));
    file->videoSamplesPerChunk = settings->videoSamplesPerChunk();

    file->reelName = settings->reelName();

    file->audioLastChunkSamples = settings->audioLastChunkSamples();
    file->audioFirstChunkSamples = settings->audioFirstChunkSamples();
    file->recordedEnd = settings->recordedEnd();
}
