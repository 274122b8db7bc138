#include "videoformat.h"

VideoFormat VideoFormat::proRes(ProResProfile profile, int width, int height, const QString& frameRate,
                                int frameCount, bool interlaced)
{
    VideoFormat format;
    format.codec = VideoCodec::ProRes;
    format.proResProfile = profile;
    format.width = width;
    format.height = height;
    format.frameRate = frameRate;
    format.frameCount = frameCount;
    format.interlaced = interlaced;
    return format;
}

VideoFormat VideoFormat::dnxhd(int width, int height, bool interlaced, int mbps, const QString& frameRate,
                               int frameCount)
{
    VideoFormat format;
    format.codec = VideoCodec::DNxHD;
    format.dnxhdMbps = mbps;
    format.width = width;
    format.height = height;
    format.interlaced = interlaced;
    format.frameRate = frameRate;
    format.frameCount = frameCount;
    return format;
}

QString VideoFormat::proResProfileName(ProResProfile profile)
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

QString VideoFormat::description() const
{
    const QString codecText = codec == VideoCodec::ProRes
        ? QStringLiteral("ProRes %1").arg(proResProfileName(proResProfile))
        : QStringLiteral("DNxHD %1M").arg(dnxhdMbps);
    return QStringLiteral("%1 %2x%3%4 @%5, %6 frames").arg(codecText).arg(width).arg(height)
        .arg(interlaced ? QStringLiteral("i") : QStringLiteral("p")).arg(frameRate).arg(frameCount);
}
