#pragma once

#include <QString>

enum class VideoCodec { ProRes, DNxHD };

// The ProRes members prores_ks can write, in its own profile order.
enum class ProResProfile { Proxy, Lt, Standard, Hq, P4444, P4444Xq };

// What source video to make. Keep it small: each distinct format is encoded
// once and cached.
struct VideoFormat
{
    VideoCodec codec = VideoCodec::ProRes;
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

    // The name prores_ks gives a profile ("hq", "4444xq").
    static QString proResProfileName(ProResProfile profile);

    // Short text naming the format, for messages.
    QString description() const;
};
