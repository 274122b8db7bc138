#ifndef VESKRECOVERYSETTINGS_H
#define VESKRECOVERYSETTINGS_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The older family's 108-byte recovery settings block, kept as the raw bytes
// the recorder wrote. Every accessor decodes its little-endian field from the
// bytes, so the result never depends on the host or on struct layout.
struct VeskRecoverySettings
{
    static constexpr int size = 108;
    static constexpr int reelNameOffset = 76;
    static constexpr int reelNameSize = 32;

    quint8 bytes[size];

    // The block from the bytes read at its place (zeros where they fall short).
    static VeskRecoverySettings from(const QByteArray& read);

    quint32 vendorValue1() const;
    quint32 startTimecode() const;
    quint8 dropFrame() const;
    quint32 vendorValue2() const;
    quint32 recordedRate() const;
    quint32 vendorValue5() const;
    quint32 audioChannelCount() const;
    quint32 audioBytesPerSample() const;
    quint32 audioSampleRate() const;
    quint32 progressiveSegmented() const;
    quint16 width() const;
    quint16 height() const;
    quint32 interlaced() const;
    quint32 avidCompressionId() const;
    quint32 videoCodec() const;
    quint32 proResFlavour() const;
    quint32 audioLastChunkSamples() const;
    quint32 audioFirstChunkSamples() const;
    quint64 recordedEnd() const;
    QString reelName() const;
};

#endif
