#pragma once

#include <QByteArray>
#include <QList>

// Deterministic source audio: every channel gets its own little-endian PCM
// (a triangle tone of its own pitch with its own noise in the low bits), so
// a swapped, shifted or truncated channel never matches another one. No
// sample sequence is ever all zero.
class TonePcm
{
public:
    // `count` samples of `channel` (counted from 0), starting at sample index
    // `first`, at 2, 3 or 4 bytes per sample. Any other size gives an empty array.
    static QByteArray channel(int channel, qint64 count, int bytesPerSample, qint64 first = 0);

    // Interleaves equally long mono channels into frames (as WAV keeps them).
    static QByteArray interleave(const QList<QByteArray>& channels, int bytesPerSample);

    // Splits interleaved frames back into mono channels.
    static QList<QByteArray> deinterleave(const QByteArray& frames, int channelCount, int bytesPerSample);
};
