#include "testvideo.h"

#include "playercheck.h"
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

QString proResProfileName(ProResProfile profile)
{
    switch (profile) {
    case ProResProfile::Proxy: return QStringLiteral("proxy");
    case ProResProfile::Lt: return QStringLiteral("lt");
    case ProResProfile::Standard: return QStringLiteral("standard");
    case ProResProfile::Hq: return QStringLiteral("hq");
    case ProResProfile::P4444: return QStringLiteral("4444");
    case ProResProfile::P4444Xq: return QStringLiteral("4444xq");
    }
    return {};
}

bool is4444(ProResProfile profile)
{
    return profile == ProResProfile::P4444 || profile == ProResProfile::P4444Xq;
}

QStringList encodeArguments(const VideoSpec& spec, const QString& output)
{
    QStringList args = { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                         QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                         QStringLiteral("-i"),
                         QStringLiteral("testsrc2=size=%1x%2:rate=%3").arg(spec.width).arg(spec.height).arg(spec.frameRate),
                         QStringLiteral("-frames:v"), QString::number(spec.frameCount), QStringLiteral("-an") };
    QString pixelFormat;
    if (spec.codec == TestVideoCodec::ProRes) {
        args << QStringLiteral("-c:v") << QStringLiteral("prores_ks")
             << QStringLiteral("-profile:v") << QString::number(int(spec.proResProfile));
        pixelFormat = is4444(spec.proResProfile) ? QStringLiteral("yuv444p10le") : QStringLiteral("yuv422p10le");
    } else {
        args << QStringLiteral("-c:v") << QStringLiteral("dnxhd")
             << QStringLiteral("-b:v") << QStringLiteral("%1M").arg(spec.dnxhdMbps);
        pixelFormat = QStringLiteral("yuv422p");
    }
    QString filter = QStringLiteral("format=") + pixelFormat;
    if (spec.interlaced) {
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

QString cacheKey(const VideoSpec& spec)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(cacheLayoutVersion));
    hash.addData(ffmpegVersion().toUtf8());
    hash.addData(encodeArguments(spec, QString()).join(QLatin1Char('\n')).toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(20));
}

// Encodes into `folder` and writes info.json last, so a folder without it
// is an interrupted encoding.
QString encodeInto(const VideoSpec& spec, const QString& folder)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create ") + folder;
    const QString movie = folder + QStringLiteral("/movie.mov");
    const ToolRun encode = ToolProcess::run(QStringLiteral("ffmpeg"), encodeArguments(spec, movie));
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
    const QStringList md5 = PlayerCheck::videoFrameMd5(movie, 0, &md5Error);
    if (md5.isEmpty())
        return md5Error;
    info.insert(QStringLiteral("framemd5"), QJsonArray::fromStringList(md5));

    QSaveFile infoFile(folder + QStringLiteral("/info.json"));
    if (!infoFile.open(QIODevice::WriteOnly) || infoFile.write(QJsonDocument(info).toJson()) < 0 || !infoFile.commit())
        return QStringLiteral("cannot write the cache entry in ") + folder;
    return {};
}

EncodedVideo loadFrom(const VideoSpec& spec, const QString& folder)
{
    EncodedVideo video;
    video.spec = spec;
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
    if (video.frames.size() != spec.frameCount || video.frameMd5.size() != spec.frameCount) {
        video.error = QStringLiteral("expected %1 frames, got %2 packets and %3 decoded frames (%4)")
                          .arg(spec.frameCount).arg(video.frames.size()).arg(video.frameMd5.size())
                          .arg(spec.description());
        return video;
    }
    if (spec.codec == TestVideoCodec::DNxHD && video.frames.first().size() >= 0x2C) {
        const uchar* header = reinterpret_cast<const uchar*>(video.frames.first().constData());
        video.avidCompressionId = quint32(header[0x28]) << 24 | quint32(header[0x29]) << 16
                                  | quint32(header[0x2A]) << 8 | header[0x2B];
    }
    video.ok = true;
    return video;
}

} // namespace

VideoSpec VideoSpec::proRes(ProResProfile profile, int width, int height, const QString& frameRate,
                            int frameCount, bool interlaced)
{
    VideoSpec spec;
    spec.codec = TestVideoCodec::ProRes;
    spec.proResProfile = profile;
    spec.width = width;
    spec.height = height;
    spec.frameRate = frameRate;
    spec.frameCount = frameCount;
    spec.interlaced = interlaced;
    return spec;
}

VideoSpec VideoSpec::dnxhd(int width, int height, bool interlaced, int mbps, const QString& frameRate,
                           int frameCount)
{
    VideoSpec spec;
    spec.codec = TestVideoCodec::DNxHD;
    spec.dnxhdMbps = mbps;
    spec.width = width;
    spec.height = height;
    spec.interlaced = interlaced;
    spec.frameRate = frameRate;
    spec.frameCount = frameCount;
    return spec;
}

QString VideoSpec::description() const
{
    const QString codecText = codec == TestVideoCodec::ProRes
        ? QStringLiteral("ProRes %1").arg(proResProfileName(proResProfile))
        : QStringLiteral("DNxHD %1M").arg(dnxhdMbps);
    return QStringLiteral("%1 %2x%3%4 @%5, %6 frames").arg(codecText).arg(width).arg(height)
        .arg(interlaced ? QStringLiteral("i") : QStringLiteral("p")).arg(frameRate).arg(frameCount);
}

QString TestVideo::cacheRoot()
{
    return QDir::tempPath() + QStringLiteral("/ambrel-testmedia");
}

EncodedVideo TestVideo::encode(const VideoSpec& spec)
{
    static QMutex mutex;
    static QHash<QString, EncodedVideo> loaded;
    QMutexLocker locker(&mutex);

    const QString key = cacheKey(spec);
    const auto known = loaded.constFind(key);
    if (known != loaded.constEnd())
        return *known;

    EncodedVideo failed;
    failed.spec = spec;
    if (spec.frameCount <= 0 || spec.width <= 0 || spec.height <= 0) {
        failed.error = QStringLiteral("nothing to encode: ") + spec.description();
        return failed;
    }
    const QString root = cacheRoot();
    QDir().mkpath(root);
    const QString folder = root + QLatin1Char('/') + key;

    // Test executables may run side by side; one encodes, the others wait.
    QLockFile lock(folder + QStringLiteral(".lock"));
    lock.setStaleLockTime(10 * 60 * 1000);
    if (!lock.tryLock(10 * 60 * 1000)) {
        failed.error = QStringLiteral("cannot lock the media cache entry ") + folder;
        return failed;
    }
    EncodedVideo video = loadFrom(spec, folder);
    if (!video.ok) {
        const QString encodeError = encodeInto(spec, folder);
        if (!encodeError.isEmpty()) {
            failed.error = spec.description() + QStringLiteral(": ") + encodeError;
            return failed;
        }
        video = loadFrom(spec, folder);
    }
    if (video.ok)
        loaded.insert(key, video);
    return video;
}
