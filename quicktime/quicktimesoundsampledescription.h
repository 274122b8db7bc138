#ifndef QUICKTIMESOUNDSAMPLEDESCRIPTION_H
#define QUICKTIMESOUNDSAMPLEDESCRIPTION_H

#include "quicktimesampledescription.h"

// A one-channel PCM sound description. Rates below 65,536 Hz use the
// version 1 layout with a 'wave' atom that holds the format and the sample
// byte order. Higher rates do not fit its 16.16 rate field, so they use the
// version 2 layout: 'lpcm' with a 64-bit floating-point rate and the byte
// order in its format flags.
class QuickTimeSoundSampleDescription : public QuickTimeSampleDescription
{
public:
    static constexpr quint32 highestVersion1Rate = 65535;
    static constexpr quint32 version1Size = 82;
    static constexpr quint32 version2Size = 72;

    // Linear PCM format flags of the version 2 layout.
    enum LinearPcmFlag : quint32 { IsFloat = 1, IsBigEndian = 2, IsSignedInteger = 4, IsPacked = 8 };

    QuickTimeSoundSampleDescription(quint32 bytesPerSample = 0, quint32 sampleRate = 0, bool littleEndian = false,
        quint32 vendor = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 version;
    quint16 revisionLevel;
    quint32 vendor;
    // In version 2 these five slots hold the constants 3, 16, -2, 0 and 1.0.
    quint16 channelCount;
    quint16 sampleSize;
    quint16 compressionId;
    quint16 packetSize;
    quint32 sampleRate; // 16.16
    // Version 1.
    quint32 samplesPerPacket;
    quint32 bytesPerPacket;
    quint32 bytesPerFrame;
    quint32 bytesPerSample;
    // Version 2.
    quint32 structSize;
    quint64 sampleRateBits; // IEEE 754 double, big-endian in the file
    quint32 audioChannelCount;
    quint32 reserved7F000000;
    quint32 bitsPerChannel;
    quint32 formatFlags;
    quint32 bytesPerAudioPacket;
    quint32 framesPerAudioPacket;
    // The 'wave' atom: 'frma' format and 'enda' byte order.
    bool hasWave;
    quint32 originalFormat;
    quint16 littleEndian;

    double sampleRateHz() const;

    void describeFields(QuickTimeFieldList& fields) const override;

private:
    void setVersion1(quint32 bytesPerSample, quint32 rate, bool isLittleEndian);
    void setVersion2(quint32 bytesPerSample, quint32 rate, bool isLittleEndian);
};

#endif
