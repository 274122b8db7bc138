#ifndef APPLYSETTINGS_H
#define APPLYSETTINGS_H

#include "quicktimefile.h"

#include <cstring>

// What both recorder families' settings blocks give a take's movie, read
// through the accessors both blocks share. The chunking comes from the
// caller: the newer block holds it, the older recorders always use the same.
template <class Settings>
void applyRecorderSettings(const Settings& settings, QuickTimeFile& file, quint32 audioSamplesPerChunk,
    quint32 videoSamplesPerChunk)
{
    file.startTimecode = settings.startTimecode();
    file.dropFrame = settings.dropFrame();
    file.timecodeCounter = 0;
    const quint32 vendorValues[9] = { settings.vendorValue1(), settings.vendorValue2(), settings.recordedRate(),
        settings.dropFrame(), settings.vendorValue5(), settings.audioChannelCount(), settings.audioBytesPerSample() * 8,
        settings.audioSampleRate(), settings.progressiveSegmented() };
    std::memcpy(file.vendorValues, vendorValues, sizeof vendorValues);

    file.width = settings.width();
    file.height = settings.height();
    file.interlaced = settings.interlaced();
    file.avidCompressionId = settings.avidCompressionId();
    // An interlaced take notes its field rate; the movie runs at the frame rate.
    const quint32 rate = settings.recordedRate();
    file.setFrameRate(file.interlaced != 0 ? rate >> 1 : rate);

    file.videoCodec = settings.videoCodec();
    file.proResFlavour = settings.proResFlavour();

    file.audioChannelCount = settings.audioChannelCount();
    file.audioSamplesPerChunk = audioSamplesPerChunk;
    file.audioBytesPerSample = settings.audioBytesPerSample();
    file.audioSampleRate = settings.audioSampleRate();
    file.videoSamplesPerChunk = videoSamplesPerChunk;

    file.reelName = settings.reelName();

    file.audioLastChunkSamples = settings.audioLastChunkSamples();
    file.audioFirstChunkSamples = settings.audioFirstChunkSamples();
    file.recordedEnd = settings.recordedEnd();
}

#endif
