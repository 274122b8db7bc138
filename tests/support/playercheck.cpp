#include "playercheck.h"

#include "toolprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int probeTimeoutMs = 60000;
constexpr int decodeTimeoutMs = 300000;

// ffprobe gives some numbers as strings.
qint64 numberField(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    bool ok = value.isDouble();
    const qint64 number = ok ? qint64(value.toDouble()) : value.toString().toLongLong(&ok);
    return ok ? number : -1;
}

} // namespace

QList<StreamInfo> MovieInfo::streamsOfType(const QString& codecType) const
{
    QList<StreamInfo> found;
    for (const StreamInfo& stream : streams)
        if (stream.codecType == codecType)
            found.append(stream);
    return found;
}

MovieInfo PlayerCheck::probe(const QString& path)
{
    MovieInfo info;
    const ToolRun run = ToolProcess::run(QStringLiteral("ffprobe"),
        { "-v", "error", "-show_streams", "-of", "json", path }, probeTimeoutMs);
    const QJsonDocument document = QJsonDocument::fromJson(run.standardOutput);
    if (!run.ok || !document.isObject()) {
        info.error = run.ok ? QStringLiteral("ffprobe output is not JSON") : run.describe();
        return info;
    }
    for (const QJsonValue& value : document.object().value(QLatin1String("streams")).toArray()) {
        const QJsonObject object = value.toObject();
        StreamInfo stream;
        stream.codecType = object.value(QLatin1String("codec_type")).toString();
        stream.codecName = object.value(QLatin1String("codec_name")).toString();
        stream.codecTag = object.value(QLatin1String("codec_tag_string")).toString();
        stream.frameCount = numberField(object, "nb_frames");
        stream.timecode = object.value(QLatin1String("tags")).toObject().value(QLatin1String("timecode")).toString();
        stream.sampleRate = int(numberField(object, "sample_rate"));
        stream.channels = int(numberField(object, "channels"));
        stream.durationTs = numberField(object, "duration_ts");
        info.streams.append(stream);
    }
    info.ok = true;
    return info;
}

QByteArray PlayerCheck::audioSamples(const QString& path, int audioStream, int bytesPerSample, QString* error)
{
    if (bytesPerSample < 2 || bytesPerSample > 4) {
        if (error)
            *error = QStringLiteral("no raw PCM format of %1 bytes").arg(bytesPerSample);
        return {};
    }
    const QString format = QStringLiteral("s%1le").arg(8 * bytesPerSample);
    const ToolRun run = ToolProcess::run(QStringLiteral("ffmpeg"),
        { "-v", "error", "-nostdin", "-i", path, "-map", QStringLiteral("0:a:%1").arg(audioStream), "-c:a", "pcm_" + format,
            "-f", format, "-" },
        decodeTimeoutMs);
    if (!run.ok && error)
        *error = run.describe();
    return run.ok ? run.standardOutput : QByteArray();
}
