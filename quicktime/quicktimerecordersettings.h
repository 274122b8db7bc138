#ifndef QUICKTIMERECORDERSETTINGS_H
#define QUICKTIMERECORDERSETTINGS_H

#include "quicktimefile.h"

QTLIB_BEGIN_NAMESPACE

// What both recorder families' settings blocks give a take's movie, read
// through the accessors both blocks share. The chunking comes from the
// caller: the newer block holds it, the older recorders always use the same.
template <class Settings>
void applyRecorderSettings(const Settings& settings, QuickTimeFile& file, quint32 audioSamplesPerChunk,
    quint32 videoSamplesPerChunk)
{
    file.setTimecode(settings.startTimecode(), settings.dropFrame(), 0);
    file.setSummary(settings.vendorValue1(), settings.vendorValue2(), settings.recordedRate(),
        settings.dropFrame(), settings.vendorValue5(), settings.audioChannelCount(),
        settings.audioBytesPerSample() * 8, settings.audioSampleRate(), settings.progressiveSegmented());

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
    file.setBytesPerSample(int(settings.audioBytesPerSample()));
    file.setAudioSampleRate(int(settings.audioSampleRate()));
    file.videoSamplesPerChunk = videoSamplesPerChunk;

    file.reelName = settings.reelName();

    file.audioLastChunkSamples = settings.audioLastChunkSamples();
    file.audioFirstChunkSamples = settings.audioFirstChunkSamples();
    file.recordedEnd = settings.recordedEnd();
}

QTLIB_END_NAMESPACE

#endif
