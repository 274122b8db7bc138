#include "veskrecoverysettings.h"

#include "recoverysettingsbytes.h"

#include <cstring>

using namespace RecoverySettingsBytes;

VeskRecoverySettings VeskRecoverySettings::from(const QByteArray& read)
{
    VeskRecoverySettings settings {};
    std::memcpy(settings.bytes, read.constData(), size_t(qMin<qsizetype>(read.size(), size)));
    return settings;
}

quint32 VeskRecoverySettings::vendorValue1() const { return u32(bytes, 0); }
quint32 VeskRecoverySettings::startTimecode() const { return u32(bytes, 4); }
quint8 VeskRecoverySettings::dropFrame() const { return bytes[8]; }
quint32 VeskRecoverySettings::vendorValue2() const { return u32(bytes, 12); }
quint32 VeskRecoverySettings::recordedRate() const { return u32(bytes, 16); }
quint32 VeskRecoverySettings::vendorValue5() const { return u32(bytes, 20); }
quint32 VeskRecoverySettings::audioChannelCount() const { return u32(bytes, 24); }
quint32 VeskRecoverySettings::audioBytesPerSample() const { return u32(bytes, 28); }
quint32 VeskRecoverySettings::audioSampleRate() const { return u32(bytes, 32); }
quint32 VeskRecoverySettings::progressiveSegmented() const { return u32(bytes, 36); }
quint16 VeskRecoverySettings::width() const { return u16(bytes, 40); }
quint16 VeskRecoverySettings::height() const { return u16(bytes, 42); }
quint32 VeskRecoverySettings::interlaced() const { return u32(bytes, 44); }
quint32 VeskRecoverySettings::avidCompressionId() const { return u32(bytes, 48); }
quint32 VeskRecoverySettings::videoCodec() const { return u32(bytes, 52); }
quint32 VeskRecoverySettings::proResFlavour() const { return u32(bytes, 56); }
quint32 VeskRecoverySettings::audioLastChunkSamples() const { return u32(bytes, 60); }
quint32 VeskRecoverySettings::audioFirstChunkSamples() const { return u32(bytes, 64); }
quint64 VeskRecoverySettings::recordedEnd() const { return u64(bytes, 68); }

QString VeskRecoverySettings::reelName() const
{
    return nameUpToZero(bytes, reelNameOffset, reelNameSize);
}
