#include "orlarecoverysettings.h"

#include "recoverysettingsbytes.h"

#include <cstring>

using namespace RecoverySettingsBytes;

OrlaRecoverySettings OrlaRecoverySettings::from(const QByteArray& read)
{
    OrlaRecoverySettings settings {};
    std::memcpy(settings.bytes, read.constData(), size_t(qMin<qsizetype>(read.size(), size)));
    return settings;
}

quint32 OrlaRecoverySettings::vendorValue1() const { return u32(bytes, 0); }
quint32 OrlaRecoverySettings::startTimecode() const { return u32(bytes, 4); }
quint8 OrlaRecoverySettings::dropFrame() const { return bytes[8]; }
quint32 OrlaRecoverySettings::vendorValue2() const { return u32(bytes, 12); }
quint32 OrlaRecoverySettings::recordedRate() const { return u32(bytes, 16); }
quint32 OrlaRecoverySettings::vendorValue5() const { return u32(bytes, 20); }
quint32 OrlaRecoverySettings::audioChannelCount() const { return u32(bytes, 24); }
quint32 OrlaRecoverySettings::audioBytesPerSample() const { return u32(bytes, 28); }
quint32 OrlaRecoverySettings::audioSampleRate() const { return u32(bytes, 32); }
quint32 OrlaRecoverySettings::progressiveSegmented() const { return u32(bytes, 36); }
quint16 OrlaRecoverySettings::width() const { return u16(bytes, 40); }
quint16 OrlaRecoverySettings::height() const { return u16(bytes, 42); }
quint32 OrlaRecoverySettings::interlaced() const { return u32(bytes, 44); }
quint32 OrlaRecoverySettings::avidCompressionId() const { return u32(bytes, 48); }
quint32 OrlaRecoverySettings::videoCodec() const { return u32(bytes, 52); }
quint32 OrlaRecoverySettings::proResFlavour() const { return u32(bytes, 56); }
quint32 OrlaRecoverySettings::audioLastChunkSamples() const { return u32(bytes, 60); }
quint32 OrlaRecoverySettings::audioFirstChunkSamples() const { return u32(bytes, 64); }
quint64 OrlaRecoverySettings::recordedEnd() const { return u64(bytes, 72); }
quint32 OrlaRecoverySettings::audioSamplesPerChunk() const { return u32(bytes, 80); }
quint32 OrlaRecoverySettings::videoSamplesPerChunk() const { return u32(bytes, 84); }

QString OrlaRecoverySettings::reelName() const
{
    return nameUpToZero(bytes, reelNameOffset, reelNameSize);
}
