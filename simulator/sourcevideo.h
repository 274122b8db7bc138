#pragma once

#include "videoformat.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
    QString moviePath;            // ffmpeg's own movie of these frames
};

// Source video for simulated takes, encoded by ffmpeg (testsrc2, so every
// frame differs). Encodings are kept in a folder under the system temp
// folder, keyed by the format and the ffmpeg version, and in memory, so each
// format is encoded once even across processes.
class SourceVideo
{
public:
    static EncodedVideo encode(const VideoFormat& format);

    // The md5 of every frame of video stream `videoStream` (counted among the
    // video streams) as ffmpeg decodes it, in presentation order, as its
    // framemd5 prints them. Empty on failure, with `error` set when given.
    static QStringList frameMd5(const QString& moviePath, int videoStream = 0, QString* error = nullptr);
};
