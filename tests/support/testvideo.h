#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class TestVideoCodec { ProRes, DNxHD };

// The ProRes members prores_ks can write, in its own profile order.
enum class ProResProfile { Proxy, Lt, Standard, Hq, P4444, P4444Xq };

// What test video to make. Keep it small: a suite encodes each distinct format once.
struct VideoFormat
{
    TestVideoCodec codec = TestVideoCodec::ProRes;
    ProResProfile proResProfile = ProResProfile::Hq;
    int dnxhdMbps = 0;            // DNxHD bit rate; it must match a DNxHD profile of the size
    int width = 1280;
    int height = 720;
    bool interlaced = false;      // encoded as top-field-first fields
    QString frameRate = QStringLiteral("25"); // as ffmpeg takes it: "25", "24000/1001", "30000/1001"
    int frameCount = 6;

    static VideoFormat proRes(ProResProfile profile, int width, int height, const QString& frameRate,
                            int frameCount, bool interlaced = false);
    // Valid DNxHD choices include 1920x1080 interlaced at 120 or 145 Mb/s,
    // 1920x1080 progressive at 36, 115 or 175 Mb/s, 1280x720 progressive at 90 Mb/s.
    static VideoFormat dnxhd(int width, int height, bool interlaced, int mbps, const QString& frameRate,
                           int frameCount);

    // Short text naming the format, for messages.
    QString description() const;
};

// Frames ffmpeg encoded for a format, one byte array per frame, with the md5 of
// each decoded frame as `ffmpeg -f framemd5` prints it: a repaired movie
// that holds these frames must decode to exactly this list.
struct EncodedVideo
{
    bool ok = false;
    QString error;
    VideoFormat format;
    QList<QByteArray> frames;
    QStringList frameMd5;
    QString codecName;            // "prores" or "dnxhd", as ffprobe names the codec
    QString codecTag;             // what ffmpeg's own muxer called it: "apch", "ap4h", "AVdn", ...
    QString pixelFormat;          // of the decoded frames
    quint32 avidCompressionId = 0; // DNxHD only: the compression ID in the frame header
    QString moviePath;            // ffmpeg's own movie of these frames: a reference to compare with
};

// Encodes test video with ffmpeg (testsrc2, so every frame differs) and hands
// the frames back. Encodings are kept in a folder under the system temp
// folder, keyed by the format and the ffmpeg version, and in memory, so a test
// run encodes each format once even across test executables.
class TestVideo
{
public:
    static EncodedVideo encode(const VideoFormat& format);

    static QString cacheRoot();
};
