#include "takebounds.h"

#include "quicktimefile.h"
#include "movietiming.h"

namespace {

constexpr quint64 most32Bits = 0xFFFFFFFFu;

// A frame lasts at most 1,000 units of the movie's time scale (23.976 fps),
// so no frame map holds enough frames to overrun a 32-bit duration.
static_assert(quint64(1000) * FrameMap::capacity <= most32Bits,
    "the longest video fits the movie's duration fields");

bool frameRateFits(const QuickTimeFile& file)
{
    // A rate of 0 (or an interlaced field rate of 1, halved) has no time scale.
    if (file.videoTimeScale == 0 || file.videoSampleDuration == 0)
        return false;
    const quint64 frames = (quint64(file.videoTimeScale) + file.videoSampleDuration - 1) / file.videoSampleDuration;
    return frames <= TakeBounds::mostTimecodeFrames;
}

bool soundFormatFits(const QuickTimeFile& file)
{
    // Without channels no sound track is built and no sound field is read.
    if (file.audioChannelCount == 0)
        return true;
    if (file.audioChannelCount > TakeBounds::mostChannels)
        return false;
    if (file.audioBytesPerSample < TakeBounds::fewestBytesPerSample
        || file.audioBytesPerSample > TakeBounds::mostBytesPerSample)
        return false;
    if (file.audioSampleRate < TakeBounds::lowestSampleRate
        || file.audioSampleRate > TakeBounds::highestSampleRate)
        return false;
    // A full chunk must hold samples; no chunk can be longer than an item.
    if (file.audioSamplesPerChunk == 0)
        return false;
    for (const quint32 samples : { file.audioSamplesPerChunk, file.audioFirstChunkSamples, file.audioLastChunkSamples }) {
        if (file.soundChunkBytes(samples) > TakeBounds::longestItem)
            return false;
    }
    return true;
}

// Whether every audio chunk item is long enough for the channel blocks the
// sound tracks point into; a shorter one would send a channel's samples
// into the items after it, or past the recorded media.
bool chunksHoldTheirChannels(const QuickTimeFile& file, const MovieTiming& timing)
{
    const quint32 chunks = file.audioChunkCount;
    quint32 chunk = 0;
    bool hold = true;
    if (chunks == 0)
        return true;
    file.frameMap.forEachOf(FrameMap::AudioChunk, file.walkLimit, [&](quint64, quint32 length) {
        // As the chunk offset table places them: the last chunk's count wins.
        quint32 samples = timing.samplesPerChunk;
        if (chunk + 1 == chunks && timing.lastChunkSamples != 0)
            samples = timing.lastChunkSamples;
        else if (chunk == 0 && timing.firstChunkSamples != 0)
            samples = timing.firstChunkSamples;
        hold = file.soundChunkBytes(samples) <= length;
        return hold && ++chunk < chunks;
    });
    return hold;
}

} // namespace

const char* TakeBounds::settingsBreach(const QuickTimeFile& file)
{
    if (!frameRateFits(file) || file.width == 0 || file.height == 0 || file.videoSamplesPerChunk == 0)
        return invalidSettings;
    return soundFormatFits(file) ? nullptr : invalidSettings;
}

const char* TakeBounds::countsBreach(const QuickTimeFile& file)
{
    const MovieTiming timing(file);
    // Sample counts and durations are 32-bit fields of the sound tables and headers.
    if (timing.exactMovieDuration > most32Bits)
        return tooLong;
    if (!timing.hasSoundTracks)
        return nullptr;
    if (timing.exactSoundSamples > most32Bits)
        return tooLong;
    return chunksHoldTheirChannels(file, timing) ? nullptr : invalidSettings;
}

