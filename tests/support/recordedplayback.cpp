#include "recordedplayback.h"

#include "playercheck.h"
#include "sourcevideo.h"

namespace RecordedPlayback {

QString mismatch(const QString& moviePath, const TakeDescription& take, const WrittenTake& written, int timecodeStreams)
{
    const MovieInfo info = PlayerCheck::probe(moviePath);
    if (!info.ok)
        return info.error;

    const QList<StreamInfo> timecodes = info.streamsOfType(QStringLiteral("data"));
    if (timecodes.size() != timecodeStreams)
        return QStringLiteral("%1 timecode streams, expected %2").arg(timecodes.size()).arg(timecodeStreams);
    if (timecodeStreams == 1 && (timecodes.first().codecTag != QLatin1String("tmcd") || timecodes.first().timecode != written.expectedTimecode))
        return QStringLiteral("timecode stream %1 %2, expected tmcd %3")
            .arg(timecodes.first().codecTag, timecodes.first().timecode, written.expectedTimecode);

    const QList<StreamInfo> videos = info.streamsOfType(QStringLiteral("video"));
    const int frames = int(written.expectedFrameMd5.size());
    if (videos.size() != (frames == 0 ? 0 : 1))
        return QStringLiteral("%1 video streams for %2 frames").arg(videos.size()).arg(frames);
    if (frames != 0) {
        const QString codec = take.videoCodec == 0 ? QStringLiteral("dnxhd") : QStringLiteral("prores");
        if (videos.first().codecName != codec || videos.first().frameCount != frames)
            return QStringLiteral("video %1 of %2 frames, expected %3 of %4")
                .arg(videos.first().codecName).arg(videos.first().frameCount).arg(codec).arg(frames);
        QString error;
        if (SourceVideo::frameMd5(moviePath, 0, &error) != written.expectedFrameMd5)
            return QStringLiteral("the frames decode to other pictures %1").arg(error);
    }

    const QList<StreamInfo> sounds = info.streamsOfType(QStringLiteral("audio"));
    if (sounds.size() != written.expectedChannelPcm.size())
        return QStringLiteral("%1 sound streams for %2 channels").arg(sounds.size()).arg(written.expectedChannelPcm.size());
    for (int channel = 0; channel < sounds.size(); ++channel) {
        const StreamInfo& sound = sounds.at(channel);
        if (sound.channels != 1 || sound.sampleRate != int(take.audioSampleRate)
            || sound.durationTs != written.expectedSamplesPerChannel)
            return QStringLiteral("channel %1: %2 channels at %3 Hz, %4 samples; expected mono at %5 Hz, %6 samples")
                .arg(channel).arg(sound.channels).arg(sound.sampleRate).arg(sound.durationTs)
                .arg(take.audioSampleRate).arg(written.expectedSamplesPerChannel);
        QString error;
        const QByteArray decoded = PlayerCheck::audioSamples(moviePath, channel, int(take.audioBytesPerSample), &error);
        if (!error.isEmpty())
            return error;
        if (decoded != written.expectedChannelPcm.at(channel))
            return QStringLiteral("channel %1 decodes to other samples").arg(channel);
    }
    return QString();
}

} // namespace RecordedPlayback
