#include "sourcevideo.h"

#include "toolprocess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>

namespace {

// Raise when the cached layout changes, so old caches are not read.
constexpr int cacheLayoutVersion = 1;
constexpr int decodeTimeoutMs = 300000;

bool is4444(ProResProfile profile)
{
    return profile == ProResProfile::P4444 || profile == ProResProfile::P4444Xq;
}

QStringList encodeArguments(const VideoFormat& format, const QString& output)
{
    QStringList args = { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                         QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                         QStringLiteral("-i"),
                         QStringLiteral("testsrc2=size=%1x%2:rate=%3").arg(format.width).arg(format.height).arg(format.frameRate),
                         QStringLiteral("-frames:v"), QString::number(format.frameCount), QStringLiteral("-an") };
    QString pixelFormat;
    if (format.codec == VideoCodec::ProRes) {
        args << QStringLiteral("-c:v") << QStringLiteral("prores_ks")
             << QStringLiteral("-profile:v") << QString::number(int(format.proResProfile));
        pixelFormat = is4444(format.proResProfile) ? QStringLiteral("yuv444p10le") : QStringLiteral("yuv422p10le");
    } else {
        args << QStringLiteral("-c:v") << QStringLiteral("dnxhd")
             << QStringLiteral("-b:v") << QStringLiteral("%1M").arg(format.dnxhdMbps);
        pixelFormat = QStringLiteral("yuv422p");
    }
    QString filter = QStringLiteral("format=") + pixelFormat;
    if (format.interlaced) {
        filter = QStringLiteral("setfield=tff,") + filter;
        args << QStringLiteral("-flags") << QStringLiteral("+ildct") << QStringLiteral("-field_order") << QStringLiteral("tt");
    }
    args << QStringLiteral("-vf") << filter << QStringLiteral("-f") << QStringLiteral("mov") << output;
    return args;
}

QString ffmpegVersion()
{
    static const QString version = [] {
        const ToolRun run = ToolProcess::run(QStringLiteral("ffmpeg"), { QStringLiteral("-version") }, 30000);
        return QString::fromLatin1(run.standardOutput.split('\n').value(0));
    }();
    return version;
}

QString cacheKey(const VideoFormat& format)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(cacheLayoutVersion));
    hash.addData(ffmpegVersion().toUtf8());
    hash.addData(encodeArguments(format, QString()).join(QLatin1Char('\n')).toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(20));
}

// Encodes into `folder` and writes info.json last, so a folder without it
// is an interrupted encoding.
QString encodeInto(const VideoFormat& format, const QString& folder)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create ") + folder;
    const QString movie = folder + QStringLiteral("/movie.mov");
    const ToolRun encode = ToolProcess::run(QStringLiteral("ffmpeg"), encodeArguments(format, movie));
    if (!encode.ok)
        return encode.describe();

    const ToolRun packets = ToolProcess::run(QStringLiteral("ffprobe"),
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v:0"),
          QStringLiteral("-show_entries"), QStringLiteral("packet=pos,size:stream=codec_name,codec_tag_string,pix_fmt"),
          QStringLiteral("-of"), QStringLiteral("json"), movie });
    if (!packets.ok)
        return packets.describe();
    QJsonObject info = QJsonDocument::fromJson(packets.standardOutput).object();

    QString md5Error;
    const QStringList md5 = SourceVideo::frameMd5(movie, 0, &md5Error);
    if (md5.isEmpty())
        return md5Error;
    info.insert(QStringLiteral("framemd5"), QJsonArray::fromStringList(md5));

    QSaveFile infoFile(folder + QStringLiteral("/info.json"));
    if (!infoFile.open(QIODevice::WriteOnly) || infoFile.write(QJsonDocument(info).toJson()) < 0 || !infoFile.commit())
        return QStringLiteral("cannot write the cache entry in ") + folder;
    return {};
}

EncodedVideo loadFrom(const VideoFormat& format, const QString& folder)
{
    EncodedVideo video;
    video.format = format;
    video.moviePath = folder + QStringLiteral("/movie.mov");

    QFile infoFile(folder + QStringLiteral("/info.json"));
    QFile movie(video.moviePath);
    if (!infoFile.open(QIODevice::ReadOnly) || !movie.open(QIODevice::ReadOnly)) {
        video.error = QStringLiteral("cache entry incomplete: ") + folder;
        return video;
    }
    const QJsonObject info = QJsonDocument::fromJson(infoFile.readAll()).object();
    const QJsonObject stream = info.value(QLatin1String("streams")).toArray().at(0).toObject();
    video.codecName = stream.value(QLatin1String("codec_name")).toString();
    video.codecTag = stream.value(QLatin1String("codec_tag_string")).toString();
    video.pixelFormat = stream.value(QLatin1String("pix_fmt")).toString();
    for (const QJsonValue& md5 : info.value(QLatin1String("framemd5")).toArray())
        video.frameMd5.append(md5.toString());

    for (const QJsonValue& value : info.value(QLatin1String("packets")).toArray()) {
        const QJsonObject packet = value.toObject();
        const qint64 pos = packet.value(QLatin1String("pos")).toString().toLongLong();
        const qint64 size = packet.value(QLatin1String("size")).toString().toLongLong();
        if (size <= 0 || !movie.seek(pos)) {
            video.error = QStringLiteral("bad packet position in ") + video.moviePath;
            return video;
        }
        const QByteArray frame = movie.read(size);
        if (frame.size() != size) {
            video.error = QStringLiteral("short packet in ") + video.moviePath;
            return video;
        }
        video.frames.append(frame);
    }
    if (video.frames.size() != format.frameCount || video.frameMd5.size() != format.frameCount) {
        video.error = QStringLiteral("expected %1 frames, got %2 packets and %3 decoded frames (%4)")
                          .arg(format.frameCount).arg(video.frames.size()).arg(video.frameMd5.size())
                          .arg(format.description());
        return video;
    }
    if (format.codec == VideoCodec::DNxHD && video.frames.first().size() >= 0x2C) {
        const uchar* header = reinterpret_cast<const uchar*>(video.frames.first().constData());
        video.avidCompressionId = quint32(header[0x28]) << 24 | quint32(header[0x29]) << 16
                                  | quint32(header[0x2A]) << 8 | header[0x2B];
    }
    video.ok = true;
    return video;
}

} // namespace

EncodedVideo SourceVideo::encode(const VideoFormat& format)
{
    static QMutex mutex;
    static QHash<QString, EncodedVideo> loaded;
    QMutexLocker locker(&mutex);

    const QString key = cacheKey(format);
    const auto known = loaded.constFind(key);
    if (known != loaded.constEnd())
        return *known;

    EncodedVideo failed;
    failed.format = format;
    if (format.frameCount <= 0 || format.width <= 0 || format.height <= 0) {
        failed.error = QStringLiteral("nothing to encode: ") + format.description();
        return failed;
    }
    const QString root = QDir::tempPath() + QStringLiteral("/ambrel-sourcevideo");
    QDir().mkpath(root);
    const QString folder = root + QLatin1Char('/') + key;

    // Processes may encode side by side; one encodes, the others wait.
    QLockFile lock(folder + QStringLiteral(".lock"));
    lock.setStaleLockTime(10 * 60 * 1000);
    if (!lock.tryLock(10 * 60 * 1000)) {
        failed.error = QStringLiteral("cannot lock the media cache entry ") + folder;
        return failed;
    }
    EncodedVideo video = loadFrom(format, folder);
    if (!video.ok) {
        const QString encodeError = encodeInto(format, folder);
        if (!encodeError.isEmpty()) {
            failed.error = format.description() + QStringLiteral(": ") + encodeError;
            return failed;
        }
        video = loadFrom(format, folder);
    }
    if (video.ok)
        loaded.insert(key, video);
    return video;
}

QStringList SourceVideo::frameMd5(const QString& moviePath, int videoStream, QString* error)
{
    const ToolRun run = ToolProcess::run(QStringLiteral("ffmpeg"),
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
          QStringLiteral("-i"), moviePath,
          QStringLiteral("-map"), QStringLiteral("0:v:%1").arg(videoStream),
          QStringLiteral("-f"), QStringLiteral("framemd5"), QStringLiteral("-") },
        decodeTimeoutMs);
    QStringList hashes;
    if (run.ok) {
        for (const QByteArray& line : run.standardOutput.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            const int comma = trimmed.lastIndexOf(',');
            if (!trimmed.isEmpty() && !trimmed.startsWith('#') && comma >= 0)
                hashes.append(QString::fromLatin1(trimmed.mid(comma + 1).trimmed()));
        }
    }
    if (hashes.isEmpty() && error)
        *error = run.ok ? QStringLiteral("no decoded frame: ") + run.describe() : run.describe();
    return hashes;
}
