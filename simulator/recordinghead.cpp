#include "recordinghead.h"

#include "recordinglayout.h"

#include <QtEndian>

namespace {

void putLittleEndian(QByteArray& bytes, int offset, int width, quint64 value)
{
    for (int i = 0; i < width; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

void putBigEndian32(QByteArray& bytes, qint64 offset, quint32 value)
{
    qToBigEndian<quint32>(value, bytes.data() + offset);
}

void putText(QByteArray& bytes, qint64 offset, const char* text)
{
    bytes.replace(offset, qsizetype(qstrlen(text)), text);
}

// File type atom as the recorders write it, with the given size field.
void putFileType(QByteArray& head, quint32 size)
{
    putBigEndian32(head, 0, size);
    putText(head, 4, "ftypqt  ");
    putBigEndian32(head, 12, 0x20070400);
    putText(head, 16, "qt  ");
}

} // namespace

RecordingHead::FieldPlace RecordingHead::fieldPlace(RecorderFamily family, SettingsField field)
{
    const bool newer = family == RecorderFamily::Orla;
    switch (field) {
    case SettingsField::VendorValue1: return { 0, 4 };
    case SettingsField::StartTimecode: return { 4, 4 };
    case SettingsField::DropFrame: return { 8, 1 };
    case SettingsField::VendorValue2: return { 12, 4 };
    case SettingsField::RecordedRate: return { 16, 4 };
    case SettingsField::VendorValue5: return { 20, 4 };
    case SettingsField::AudioChannelCount: return { 24, 4 };
    case SettingsField::AudioBytesPerSample: return { 28, 4 };
    case SettingsField::AudioSampleRate: return { 32, 4 };
    case SettingsField::ProgressiveSegmented: return { 36, 4 };
    case SettingsField::Width: return { 40, 2 };
    case SettingsField::Height: return { 42, 2 };
    case SettingsField::Interlaced: return { 44, 4 };
    case SettingsField::AvidCompressionId: return { 48, 4 };
    case SettingsField::VideoCodec: return { 52, 4 };
    case SettingsField::ProResFlavour: return { 56, 4 };
    case SettingsField::AudioLastChunkSamples: return { 60, 4 };
    case SettingsField::AudioFirstChunkSamples: return { 64, 4 };
    case SettingsField::RecordedEnd: return { newer ? 72 : 68, 8 };
    case SettingsField::AudioSamplesPerChunk: return { newer ? 80 : -1, 4 };
    case SettingsField::VideoSamplesPerChunk: return { newer ? 84 : -1, 4 };
    case SettingsField::ReelName: return { newer ? 88 : 76, 32 };
    }
    return { -1, 0 };
}

qint64 RecordingHead::settingsOffset(RecorderFamily family)
{
    return family == RecorderFamily::Orla ? RecordingLayout::orlaSettingsOffset : RecordingLayout::veskSettingsOffset;
}

int RecordingHead::settingsSize(RecorderFamily family)
{
    return family == RecorderFamily::Orla ? RecordingLayout::orlaSettingsSize : RecordingLayout::veskSettingsSize;
}

qint64 RecordingHead::frameMapOffset(RecorderFamily family)
{
    return family == RecorderFamily::Orla ? RecordingLayout::orlaFrameMapOffset : RecordingLayout::veskFrameMapOffset;
}

quint16 RecordingHead::frameMapEntry(ItemKind kind, qint64 blocks)
{
    return quint16((quint16(kind) << 14) | (quint16(blocks) & 0x3FFF));
}

QByteArray RecordingHead::settingsBlock(const TakeDescription& take, quint64 recordedEnd)
{
    QByteArray block(settingsSize(take.family), '\0');
    auto put = [&](SettingsField field, quint64 value) {
        const FieldPlace place = fieldPlace(take.family, field);
        if (place.offset >= 0)
            putLittleEndian(block, place.offset, place.width, value);
    };
    put(SettingsField::VendorValue1, take.vendorValue1);
    put(SettingsField::StartTimecode, take.startTimecode);
    put(SettingsField::DropFrame, take.dropFrame ? 1 : 0);
    put(SettingsField::VendorValue2, take.vendorValue2);
    put(SettingsField::RecordedRate, take.recordedRate);
    put(SettingsField::VendorValue5, take.vendorValue5);
    put(SettingsField::AudioChannelCount, take.audioChannelCount);
    put(SettingsField::AudioBytesPerSample, take.audioBytesPerSample);
    put(SettingsField::AudioSampleRate, take.audioSampleRate);
    put(SettingsField::ProgressiveSegmented, take.progressiveSegmented ? 1 : 0);
    put(SettingsField::Width, take.width);
    put(SettingsField::Height, take.height);
    put(SettingsField::Interlaced, take.interlaced ? 1 : 0);
    put(SettingsField::AvidCompressionId, take.avidCompressionId);
    put(SettingsField::VideoCodec, take.videoCodec);
    put(SettingsField::ProResFlavour, take.proResFlavour);
    put(SettingsField::AudioLastChunkSamples, take.audioLastChunkSamples);
    put(SettingsField::AudioFirstChunkSamples, take.audioFirstChunkSamples);
    put(SettingsField::RecordedEnd, recordedEnd);
    put(SettingsField::AudioSamplesPerChunk, take.audioSamplesPerChunk);
    put(SettingsField::VideoSamplesPerChunk, take.videoSamplesPerChunk);

    const FieldPlace reel = fieldPlace(take.family, SettingsField::ReelName);
    const QByteArray name = take.reelName.left(reel.width);
    block.replace(reel.offset, name.size(), name);

    for (const SettingsPoke& poke : take.settingsPokes)
        put(poke.field, poke.value);
    return block;
}

QByteArray RecordingHead::head(const TakeDescription& take, const QByteArray& settings,
                               const QList<quint16>& frameMap)
{
    QByteArray head(RecordingLayout::mediaOffset, '\0');
    if (take.family == RecorderFamily::Orla) {
        putFileType(head, 20);
        putBigEndian32(head, 20, RecordingLayout::orlaUserDataSize);
        putText(head, 24, "udta");
        putBigEndian32(head, 28, 8);
        putText(head, 32, "urec");
    } else {
        putFileType(head, quint32(RecordingLayout::movieDataHeaderOffset));
    }
    head.replace(settingsOffset(take.family), settings.size(), settings);

    const qint64 mapOffset = frameMapOffset(take.family);
    auto putEntry = [&](int index, quint16 entry) {
        if (index >= 0 && index < RecordingLayout::frameMapEntries)
            qToLittleEndian<quint16>(entry, head.data() + mapOffset + 2 * qint64(index));
    };
    for (int i = 0; i < frameMap.size(); ++i)
        putEntry(i, frameMap.at(i));
    for (auto poke = take.frameMapPokes.constBegin(); poke != take.frameMapPokes.constEnd(); ++poke)
        putEntry(poke.key(), poke.value());

    // The open movie data header: u32 1, 'mdat', u64 16.
    putBigEndian32(head, RecordingLayout::movieDataHeaderOffset, 1);
    putText(head, RecordingLayout::movieDataHeaderOffset + 4, "mdat");
    qToBigEndian<quint64>(16, head.data() + RecordingLayout::movieDataHeaderOffset + 8);
    return head;
}
