#include "tonepcm.h"

namespace {

quint64 mix(quint64 x)
{
    // splitmix64 finaliser: a sample's noise depends only on its channel and
    // index, so any stretch of a channel can be made on its own.
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

qint64 sampleValue(int channel, qint64 index, int bytesPerSample)
{
    const int bits = bytesPerSample * 8;
    const qint64 fullScale = qint64(1) << (bits - 1);
    const qint64 period = 48 * (channel + 3);
    const qint64 phase = index % period;
    const qint64 half = period / 2;
    // Triangle from -fullScale/2 to +fullScale/2.
    const qint64 ramp = phase < half ? phase : period - phase;
    const qint64 tone = (ramp * fullScale) / half - fullScale / 2;
    const quint64 noise = mix((quint64(channel + 1) << 40) ^ quint64(index));
    const qint64 noiseBits = bits - 8;
    const qint64 noiseValue = qint64(noise & ((quint64(1) << noiseBits) - 1)) - (qint64(1) << (noiseBits - 1));
    return tone + noiseValue;
}

} // namespace

QByteArray TonePcm::channel(int channel, qint64 count, int bytesPerSample, qint64 first)
{
    if (bytesPerSample < 2 || bytesPerSample > 4 || count < 0 || channel < 0)
        return {};
    QByteArray bytes(count * bytesPerSample, Qt::Uninitialized);
    char* out = bytes.data();
    for (qint64 i = 0; i < count; ++i) {
        const quint64 value = quint64(sampleValue(channel, first + i, bytesPerSample));
        for (int b = 0; b < bytesPerSample; ++b)
            *out++ = char((value >> (8 * b)) & 0xFF);
    }
    return bytes;
}

QByteArray TonePcm::interleave(const QList<QByteArray>& channels, int bytesPerSample)
{
    if (channels.isEmpty() || bytesPerSample <= 0)
        return {};
    qint64 samples = channels.first().size() / bytesPerSample;
    for (const QByteArray& channel : channels)
        samples = qMin(samples, qint64(channel.size() / bytesPerSample));
    QByteArray frames;
    frames.reserve(samples * bytesPerSample * channels.size());
    for (qint64 i = 0; i < samples; ++i)
        for (const QByteArray& channel : channels)
            frames.append(channel.constData() + i * bytesPerSample, bytesPerSample);
    return frames;
}

QList<QByteArray> TonePcm::deinterleave(const QByteArray& frames, int channelCount, int bytesPerSample)
{
    QList<QByteArray> channels(qMax(channelCount, 0));
    if (channelCount <= 0 || bytesPerSample <= 0)
        return channels;
    const qint64 frameSize = qint64(channelCount) * bytesPerSample;
    for (qint64 at = 0; at + frameSize <= frames.size(); at += frameSize)
        for (int c = 0; c < channelCount; ++c)
            channels[c].append(frames.constData() + at + qint64(c) * bytesPerSample, bytesPerSample);
    return channels;
}
