#include "playercheck.h"

#include "toolprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int probeTimeoutMs = 60000;
constexpr int decodeTimeoutMs = 300000;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

qint64 numberField(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok);
        return ok ? number : -1;
    }
    return value.isDouble() ? qint64(value.toDouble()) : -1;
}

StreamInfo streamFromJson(const QJsonObject& object)
{
    StreamInfo stream;
    stream.index = int(numberField(object, "index"));
    stream.codecType = object.value(QLatin1String("codec_type")).toString();
    stream.codecName = object.value(QLatin1String("codec_name")).toString();
    stream.codecTag = object.value(QLatin1String("codec_tag_string")).toString();
    stream.frameCount = numberField(object, "nb_frames");
    stream.packetCount = numberField(object, "nb_read_packets");
    stream.width = int(qMax<qint64>(numberField(object, "width"), 0));
    stream.height = int(qMax<qint64>(numberField(object, "height"), 0));
    stream.pixelFormat = object.value(QLatin1String("pix_fmt")).toString();
    stream.fieldOrder = object.value(QLatin1String("field_order")).toString();
    stream.averageFrameRate = object.value(QLatin1String("avg_frame_rate")).toString();
    stream.sampleRate = int(qMax<qint64>(numberField(object, "sample_rate"), 0));
    stream.channels = int(qMax<qint64>(numberField(object, "channels"), 0));
    stream.bitsPerSample = int(qMax<qint64>(numberField(object, "bits_per_sample"), 0));
    stream.timeBase = object.value(QLatin1String("time_base")).toString();
    stream.durationTs = numberField(object, "duration_ts");
    stream.tags = object.value(QLatin1String("tags")).toObject().toVariantMap();
    stream.timecode = stream.tags.value(QStringLiteral("timecode")).toString();
    return stream;
}

QString rawFormatFor(int bytesPerSample)
{
    switch (bytesPerSample) {
    case 2: return QStringLiteral("s16le");
    case 3: return QStringLiteral("s24le");
    case 4: return QStringLiteral("s32le");
    default: return {};
    }
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
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
          QStringLiteral("-show_streams"), QStringLiteral("-show_format"),
          QStringLiteral("-of"), QStringLiteral("json"), path },
        probeTimeoutMs);
    if (!run.ok) {
        info.error = run.describe();
        return info;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(run.standardOutput, &parseError);
    if (document.isNull()) {
        info.error = QStringLiteral("ffprobe output is not JSON: ") + parseError.errorString();
        return info;
    }
    const QJsonObject root = document.object();
    info.formatName = root.value(QLatin1String("format")).toObject().value(QLatin1String("format_name")).toString();
    const QJsonArray streams = root.value(QLatin1String("streams")).toArray();
    for (const QJsonValue& stream : streams)
        info.streams.append(streamFromJson(stream.toObject()));
    info.ok = true;
    return info;
}

QByteArray PlayerCheck::audioSamples(const QString& path, int audioStream, int bytesPerSample, QString* error)
{
    const QString format = rawFormatFor(bytesPerSample);
    if (format.isEmpty()) {
        setError(error, QStringLiteral("no raw PCM format of %1 bytes").arg(bytesPerSample));
        return {};
    }
    const ToolRun run = ToolProcess::run(QStringLiteral("ffmpeg"),
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
          QStringLiteral("-i"), path,
          QStringLiteral("-map"), QStringLiteral("0:a:%1").arg(audioStream),
          QStringLiteral("-c:a"), QStringLiteral("pcm_") + format,
          QStringLiteral("-f"), format, QStringLiteral("-") },
        decodeTimeoutMs);
    if (!run.ok) {
        setError(error, run.describe());
        return {};
    }
    return run.standardOutput;
}
