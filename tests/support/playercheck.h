#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One stream of a movie as ffprobe sees it.
struct StreamInfo
{
    QString codecType;       // "video", "audio", "data" (a timecode track is "data")
    QString codecName;       // "prores", "dnxhd", "pcm_s24le"; empty when ffmpeg has no decoder
    QString codecTag;        // the sample description's format: "apch", "AVdn", "in24", "tmcd"
    qint64 frameCount = -1;  // frames (samples) the container's tables announce; -1 when unknown
    QString timecode;        // the "timecode" tag, empty when absent
    int sampleRate = 0;
    int channels = 0;
    qint64 durationTs = -1;  // duration in time base units
};

// What ffprobe reports about a movie or WAV file.
struct MovieInfo
{
    bool ok = false;
    QString error;
    QList<StreamInfo> streams;

    // The streams of one codec type ("video", "audio", "data"), in file order.
    QList<StreamInfo> streamsOfType(const QString& codecType) const;
};

// A real player's view of a file, so a test can check what a repair produced
// against what was recorded: ffprobe for the structure, ffmpeg for decoded
// samples (SourceVideo::frameMd5 gives the decoded pictures). Every call runs
// the tool under a time limit.
class PlayerCheck
{
public:
    static MovieInfo probe(const QString& path);

    // The decoded samples of audio stream `audioStream` (counted among the
    // audio streams) as raw signed little-endian PCM of `bytesPerSample`
    // bytes (2, 3 or 4), channels interleaved. Empty on failure.
    static QByteArray audioSamples(const QString& path, int audioStream, int bytesPerSample,
                                   QString* error = nullptr);
};
