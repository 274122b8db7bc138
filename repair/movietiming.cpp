#include "movietiming.h"

#include "quicktimefile.h"

MovieTiming::MovieTiming(const QuickTimeFile& file)
    : hasSoundTracks(file.audioChunkCount > 0 && file.audioChannelCount > 0)
    , samplesPerChunk(file.audioSamplesPerChunk)
    , firstChunkSamples(file.audioFirstChunkSamples)
    , lastChunkSamples(file.audioLastChunkSamples)
{
    const quint32 chunks = file.audioChunkCount;
    // The sample-to-chunk table must name its chunks in rising order and no
    // chunk past the last, or players refuse the whole movie. A lone chunk is
    // therefore a chunk of its own length, and of two short chunks the second
    // takes the place of the full ones.
    if (chunks == 1) {
        samplesPerChunk = firstChunkSamples != 0 ? firstChunkSamples
            : lastChunkSamples != 0             ? lastChunkSamples
                                                : samplesPerChunk;
        firstChunkSamples = 0;
        lastChunkSamples = 0;
    } else if (chunks == 2 && firstChunkSamples != 0 && lastChunkSamples != 0) {
        samplesPerChunk = lastChunkSamples;
        lastChunkSamples = 0;
    }
    const quint32 shortChunks = (firstChunkSamples != 0 ? 1 : 0) + (lastChunkSamples != 0 ? 1 : 0);
    if (chunks >= shortChunks)
        exactSoundSamples = quint64(samplesPerChunk) * (chunks - shortChunks) + lastChunkSamples + firstChunkSamples;
    soundSamples = quint32(exactSoundSamples);

    // Settings without video chunking give no chunks; never divide by them.
    const quint32 frames = file.videoFrameCount;
    const quint32 perChunk = file.videoSamplesPerChunk;
    videoChunks = perChunk == 0 ? 0 : quint32((quint64(frames) + perChunk - 1) / perChunk);
    // A single chunk is listed with the frames it holds, for the same reason.
    framesPerChunk = videoChunks == 1 ? frames : perChunk;
    lastChunkFrames = videoChunks <= 1 ? 0 : frames % perChunk;

    exactMovieDuration = quint64(file.videoSampleDuration) * file.videoFrameCount;
    if (file.videoFrameCount == 0 && hasSoundTracks && file.audioSampleRate != 0) {
        // Below 2^32 samples and 2^32 units per second, the product fits.
        const quint64 scaled = qMin<quint64>(exactSoundSamples, 0xFFFFFFFFu) * file.videoTimeScale;
        exactMovieDuration = (scaled + file.audioSampleRate - 1) / file.audioSampleRate;
    }
    movieDuration = quint32(qMin<quint64>(exactMovieDuration, 0xFFFFFFFFu));
}

