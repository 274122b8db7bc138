#include "recoverysettings.h"

#include "quicktimefile.h"

#include <QtEndian>

#include <cstring>

namespace {

// The fields of a block read whole (readRecoverySettings makes sure).
class Block
{
public:
    explicit Block(const QByteArray& bytes)
        : bytes(reinterpret_cast<const uchar*>(bytes.constData()))
    {
    }

    quint64 u64(int at) const { return qFromLittleEndian<quint64>(bytes + at); }
    quint32 u32(int at) const { return qFromLittleEndian<quint32>(bytes + at); }
    quint16 u16(int at) const { return qFromLittleEndian<quint16>(bytes + at); }
    quint8 u8(int at) const { return bytes[at]; }

    // The characters up to the first zero byte, never beyond `length`.
    QString name(int at, int length) const
    {
        const char* name = reinterpret_cast<const char*>(bytes + at);
        const void* zero = std::memchr(name, 0, size_t(length));
        return QString::fromLatin1(name, zero ? int(static_cast<const char*>(zero) - name) : length);
    }

private:
    const uchar* bytes;
};

constexpr int reelNameLength = 32;

} // namespace

void applyRecoverySettings(QuickTimeFile& file)
{
    const RecoverySettingsLayout& layout = file.profile.settings;
    if (file.recoverySettings.size() != layout.size)
        return;
    const Block block(file.recoverySettings);

    file.startTimecode = block.u32(4);
    file.dropFrame = block.u8(8);
    file.timecodeCounter = 0;
    const quint32 vendorValues[9] = { block.u32(0), block.u32(12), block.u32(16), block.u8(8), block.u32(20),
        block.u32(24), block.u32(28) * 8, block.u32(32), block.u32(36) };
    std::memcpy(file.vendorValues, vendorValues, sizeof vendorValues);

    file.width = block.u16(40);
    file.height = block.u16(42);
    file.interlaced = block.u32(44);
    file.avidCompressionId = block.u32(48);
    // An interlaced take notes its field rate; the movie runs at the frame rate.
    const quint32 rate = block.u32(16);
    file.setFrameRate(file.interlaced != 0 ? rate >> 1 : rate);

    file.videoCodec = block.u32(52);
    file.proResFlavour = block.u32(56);

    file.audioChannelCount = block.u32(24);
    file.audioSamplesPerChunk
        = layout.audioSamplesPerChunk < 0 ? layout.fixedAudioSamplesPerChunk : block.u32(layout.audioSamplesPerChunk);
    file.audioBytesPerSample = block.u32(28);
    file.audioSampleRate = block.u32(32);
    file.videoSamplesPerChunk
        = layout.videoSamplesPerChunk < 0 ? layout.fixedVideoSamplesPerChunk : block.u32(layout.videoSamplesPerChunk);

    file.reelName = block.name(layout.reelName, reelNameLength);

    file.audioLastChunkSamples = block.u32(60);
    file.audioFirstChunkSamples = block.u32(64);
    file.recordedEnd = block.u64(layout.recordedEnd);
}
