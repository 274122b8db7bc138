#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct EncodedVideo;

// What ffmpeg's own muxer should put into a finished movie.
struct FinishedMovieContent
{
    const EncodedVideo* video = nullptr;  // frames copied as they are; may be null
    QList<QByteArray> channelPcm;         // one mono stream per channel, little-endian
    int bytesPerSample = 3;               // 2, 3 or 4
    int sampleRate = 48000;
    QString timecode;                     // "HH:MM:SS:FF" or with ';' for drop frame; empty for none
};

// A take as a recorder that stopped cleanly leaves it: a finished movie
// muxed by ffmpeg itself.
class FinishedMovie
{
public:
    // Writes the movie; returns an empty string on success, else what failed.
    static QString write(const FinishedMovieContent& content, const QString& path);
};
