#include "quicktimesoundsampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

namespace {

constexpr quint32 waveAtomSize = 30;
constexpr quint32 formatAtomSize = 12;
constexpr quint32 endianAtomSize = 10;

quint32 pcmFormat(quint32 bytesPerSample)
{
    switch (bytesPerSample) {
    case 2: return fourCC("twos");
    case 3: return fourCC("in24");
    default: return fourCC("in32");
    }
}

} // namespace

QuickTimeSoundSampleDescription::QuickTimeSoundSampleDescription(quint32 sampleBytes, quint32 rate,
    bool isLittleEndian, quint32 vendor)
    : QuickTimeSampleDescription(0, 0)
    , version(1)
    , revisionLevel(0)
    , vendor(vendor)
    , channelCount(0)
    , sampleSize(0)
    , compressionId(0)
    , packetSize(0)
    , sampleRate(0)
    , samplesPerPacket(0)
    , bytesPerPacket(0)
    , bytesPerFrame(0)
    , bytesPerSample(0)
    , structSize(0)
    , sampleRateBits(0)
    , audioChannelCount(0)
    , reserved7F000000(0)
    , bitsPerChannel(0)
    , formatFlags(0)
    , bytesPerAudioPacket(0)
    , framesPerAudioPacket(0)
    , hasWave(false)
    , originalFormat(0)
    , littleEndian(0)
{
    if (rate <= highestVersion1Rate)
        setVersion1(sampleBytes, rate, isLittleEndian);
    else
        setVersion2(sampleBytes, rate, isLittleEndian);
}

void QuickTimeSoundSampleDescription::setVersion1(quint32 sampleBytes, quint32 rate, bool isLittleEndian)
{
    size = version1Size;
    format = pcmFormat(sampleBytes);
    version = 1;
    channelCount = 1;
    sampleSize = 16;
    sampleRate = rate << 16;
    samplesPerPacket = 1;
    bytesPerPacket = sampleBytes;
    bytesPerFrame = sampleBytes;
    bytesPerSample = 2;
    hasWave = true;
    originalFormat = format;
    littleEndian = isLittleEndian ? 1 : 0;
}

void QuickTimeSoundSampleDescription::setVersion2(quint32 sampleBytes, quint32 rate, bool isLittleEndian)
{
    size = version2Size;
    format = fourCC("lpcm");
    version = 2;
    channelCount = 3;
    sampleSize = 16;
    compressionId = 0xFFFE;
    packetSize = 0;
    sampleRate = 0x10000;
    structSize = version2Size;
    const double hz = rate;
    std::memcpy(&sampleRateBits, &hz, sizeof hz);
    audioChannelCount = 1;
    reserved7F000000 = 0x7F000000;
    bitsPerChannel = sampleBytes * 8;
    formatFlags = quint32(IsSignedInteger | IsPacked) | (isLittleEndian ? 0u : quint32(IsBigEndian));
    bytesPerAudioPacket = sampleBytes;
    framesPerAudioPacket = 1;
}

double QuickTimeSoundSampleDescription::sampleRateHz() const
{
    if (version == 2) {
        double hz = 0;
        std::memcpy(&hz, &sampleRateBits, sizeof hz);
        return hz;
    }
    return sampleRate / 65536.0;
}

void QuickTimeSoundSampleDescription::write(QDataStream& stream)
{
    writeCommonFields(stream);
    stream << version << revisionLevel << vendor << channelCount << sampleSize << compressionId
           << packetSize << sampleRate;
    if (version == 1)
        stream << samplesPerPacket << bytesPerPacket << bytesPerFrame << bytesPerSample;
    if (version == 2)
        stream << structSize << sampleRateBits << audioChannelCount << reserved7F000000 << bitsPerChannel
               << formatFlags << bytesPerAudioPacket << framesPerAudioPacket;
    if (hasWave) {
        stream << waveAtomSize << fourCC("wave");
        stream << formatAtomSize << fourCC("frma") << originalFormat;
        stream << endianAtomSize << fourCC("enda") << littleEndian;
    }
}

bool QuickTimeSoundSampleDescription::read(QDataStream& stream, quint64& remaining)
{
    if (!readCommonFields(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    version = in.u16();
    revisionLevel = in.u16();
    vendor = in.u32();
    channelCount = in.u16();
    sampleSize = in.u16();
    compressionId = in.u16();
    packetSize = in.u16();
    sampleRate = in.u32();
    if (version == 1) {
        samplesPerPacket = in.u32();
        bytesPerPacket = in.u32();
        bytesPerFrame = in.u32();
        bytesPerSample = in.u32();
    } else if (version == 2) {
        structSize = in.u32();
        sampleRateBits = in.u64();
        audioChannelCount = in.u32();
        reserved7F000000 = in.u32();
        bitsPerChannel = in.u32();
        formatFlags = in.u32();
        bytesPerAudioPacket = in.u32();
        framesPerAudioPacket = in.u32();
    }
    hasWave = false;
    // Extension atoms; of 'wave' only 'frma' and 'enda' are kept.
    while (in.ok() && in.left() >= 8) {
        const quint32 atomSize = in.u32();
        const quint32 atomType = in.u32();
        if (!in.ok() || atomSize < 8 || atomSize - 8 > in.left())
            return false;
        quint64 atomLeft = atomSize - 8;
        in.budget() -= atomLeft;
        QuickTimeFieldReader atom(stream, atomLeft);
        if (atomType == fourCC("wave")) {
            hasWave = true;
            while (atom.ok() && atom.left() >= 8) {
                const quint32 innerSize = atom.u32();
                const quint32 innerType = atom.u32();
                if (!atom.ok() || innerSize < 8 || innerSize - 8 > atom.left())
                    return false;
                if (innerType == fourCC("frma") && innerSize >= 12) {
                    originalFormat = atom.u32();
                    atom.skip(innerSize - 12);
                } else if (innerType == fourCC("enda") && innerSize >= 10) {
                    littleEndian = atom.u16();
                    atom.skip(innerSize - 10);
                } else {
                    atom.skip(innerSize - 8);
                }
            }
        }
        atom.skip(atom.left());
        if (!atom.ok())
            return false;
    }
    return in.skip(in.left());
}

void QuickTimeSoundSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeSampleDescription::describeFields(fields);
    fields.addNumber("Version", version);
    fields.addNumber("Revision Level", revisionLevel);
    fields.addFourCC("Vendor", vendor);
    fields.addNumber("Number of Channels", channelCount);
    fields.addNumber("Sample Size", sampleSize);
    fields.addNumber("Compression ID", compressionId);
    fields.addNumber("Packet Size", packetSize);
    fields.addHex("Sample Rate", sampleRate, 8);
    if (version == 1) {
        fields.addNumber("Samples per Packet", samplesPerPacket);
        fields.addNumber("Bytes per Packet", bytesPerPacket);
        fields.addNumber("Bytes per Frame", bytesPerFrame);
        fields.addNumber("Bytes per Sample", bytesPerSample);
    } else if (version == 2) {
        fields.addNumber("Struct Size", structSize);
        fields.add(QStringLiteral("Audio Sample Rate"), QString::number(sampleRateHz(), 'f', 3));
        fields.addNumber("Audio Channels", audioChannelCount);
        fields.addHex("Always 7F000000", reserved7F000000, 8);
        fields.addNumber("Bits per Channel", bitsPerChannel);
        fields.addHex("Format Flags", formatFlags, 8);
        fields.addNumber("Bytes per Audio Packet", bytesPerAudioPacket);
        fields.addNumber("Frames per Audio Packet", framesPerAudioPacket);
    }
    if (hasWave) {
        fields.addFourCC("Original Format", originalFormat);
        fields.addNumber("Little Endian", littleEndian);
    }
}

