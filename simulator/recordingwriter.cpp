#include "recordingwriter.h"

#include "filehash.h"
#include "recordinghead.h"
#include "recordinglayout.h"
#include "tonepcm.h"
#include "timecodetext.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr qint64 maxBlocksPerItem = 0x3FFF;

QByteArray timecodeSample(quint32 frameNumber)
{
    QByteArray block(RecordingLayout::blockSize, '\0');
    qToBigEndian<quint32>(frameNumber, block.data());
    return block;
}

QByteArray trailingPattern(qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        bytes[i] = char(0xA5 ^ (i * 7 & 0xFF));
    return bytes;
}

// The content of every item in order (without padding), and the PCM of each
// channel that the audio chunks carry.
struct ItemContents
{
    QString error;
    QList<ItemKind> order;
    QList<QByteArray> payloads;
    QList<int> indexes;
    QList<quint32> samples;
    QList<QByteArray> channelPcm;
};

ItemContents layOutContents(const TakeDescription& take)
{
    ItemContents contents;
    contents.order = take.resolvedItemOrder();
    const bool hasAudio = take.audioChunkCount > 0 && take.audioChannelCount > 0;
    if (hasAudio && (take.audioBytesPerSample < 2 || take.audioBytesPerSample > 4)) {
        contents.error = QStringLiteral("source audio is made at 2, 3 or 4 bytes per sample");
        return contents;
    }
    const int frameCount = int(contents.order.count(ItemKind::VideoFrame));
    const int chunkCount = int(contents.order.count(ItemKind::AudioChunk));
    if (frameCount != take.videoFrames.size() || chunkCount != take.audioChunkCount) {
        contents.error = QStringLiteral("the item order names %1 frames and %2 audio chunks, the take has %3 and %4")
                             .arg(frameCount).arg(chunkCount).arg(take.videoFrames.size()).arg(take.audioChunkCount);
        return contents;
    }

    const qint64 samplesPerChannel = take.audioSamplesPerChannel();
    for (quint32 channel = 0; channel < take.audioChannelCount; ++channel)
        contents.channelPcm.append(TonePcm::channel(int(channel), samplesPerChannel, int(take.audioBytesPerSample)));

    int frames = 0;
    int chunks = 0;
    int timecodes = 0;
    int unknowns = 0;
    qint64 sampleAt = 0;
    for (ItemKind kind : qAsConst(contents.order)) {
        QByteArray payload;
        quint32 samples = 0;
        int index = 0;
        switch (kind) {
        case ItemKind::VideoFrame:
            index = frames++;
            payload = take.videoFrames.at(index);
            break;
        case ItemKind::AudioChunk: {
            index = chunks++;
            samples = take.samplesInAudioChunk(index);
            const qint64 bytes = qint64(samples) * take.audioBytesPerSample;
            for (const QByteArray& pcm : qAsConst(contents.channelPcm))
                payload.append(pcm.mid(sampleAt * take.audioBytesPerSample, bytes));
            sampleAt += samples;
            break;
        }
        case ItemKind::TimecodeSample:
            index = timecodes++;
            payload = timecodeSample(take.startTimecode);
            break;
        case ItemKind::Unknown:
            index = unknowns++;
            payload = QByteArray(RecordingLayout::blockSize, char(0xEE));
            break;
        }
        if (RecordingLayout::blocksFor(payload.size()) > maxBlocksPerItem) {
            contents.error = QStringLiteral("an item of %1 bytes does not fit a frame map entry").arg(payload.size());
            return contents;
        }
        contents.payloads.append(payload);
        contents.indexes.append(index);
        contents.samples.append(samples);
    }
    if (contents.order.size() > RecordingLayout::frameMapEntries)
        contents.error = QStringLiteral("%1 items do not fit the frame map").arg(contents.order.size());
    return contents;
}

quint64 recordedEndFor(const TakeDescription& take, qint64 mapEnd, qint64 listedEnd)
{
    switch (take.recordedEndMode) {
    case RecordedEndMode::Zero: return 0;
    case RecordedEndMode::MapEnd: return quint64(mapEnd);
    case RecordedEndMode::ListedEnd: return quint64(listedEnd);
    case RecordedEndMode::Explicit: return take.recordedEnd;
    }
    return 0;
}

QByteArray padded(const QByteArray& bytes)
{
    return bytes + QByteArray(RecordingLayout::blocksFor(bytes.size()) * RecordingLayout::blockSize - bytes.size(), '\0');
}

bool writeAll(QFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

} // namespace

WrittenTake RecordingWriter::write(const TakeDescription& take, const QString& path)
{
    WrittenTake written;
    written.path = path;
    written.mediaStart = RecordingLayout::mediaOffset;

    const ItemContents contents = layOutContents(take);
    if (!contents.error.isEmpty()) {
        written.error = contents.error;
        return written;
    }

    // Place every item; the last tornItems lose their bytes, the last
    // unlistedItems their entries.
    const int firstTorn = qMax(0, int(contents.order.size()) - qMax(take.tornItems, 0));
    const int listed = take.unlistedItems < 0 ? 0 : qMax(0, int(contents.order.size()) - take.unlistedItems);
    QList<quint16> listedMap;
    qint64 listedEnd = RecordingLayout::mediaOffset;
    qint64 offset = RecordingLayout::mediaOffset;
    for (int i = 0; i < contents.order.size(); ++i) {
        PlacedItem item;
        item.kind = contents.order.at(i);
        item.index = contents.indexes.at(i);
        item.offset = offset;
        item.payloadBytes = contents.payloads.at(i).size();
        const qint64 blocks = RecordingLayout::blocksFor(item.payloadBytes);
        item.paddedBytes = blocks * RecordingLayout::blockSize;
        item.entry = RecordingHead::frameMapEntry(item.kind, blocks);
        item.samplesPerChannel = contents.samples.at(i);
        if (i < firstTorn)
            item.writtenBytes = item.paddedBytes;
        else if (i == firstTorn)
            item.writtenBytes = qBound<qint64>(0, take.tornPartialBytes, item.paddedBytes);
        written.items.append(item);
        written.frameMap.append(item.entry);
        offset += item.paddedBytes;
        if (i < listed) {
            listedMap.append(item.entry);
            listedEnd = offset;
        }
    }
    listedMap.append(QList<quint16>(qMax(take.emptyEntries, 0), RecordingHead::frameMapEntry(ItemKind::Unknown, 0)));
    written.mapEnd = offset;
    written.recordedEnd = recordedEndFor(take, written.mapEnd, listedEnd);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        written.error = QStringLiteral("cannot create ") + path;
        return written;
    }
    const QByteArray settings = RecordingHead::settingsBlock(take, written.recordedEnd);
    bool ok = writeAll(file, RecordingHead::head(take, settings, listedMap));
    for (int i = 0; ok && i < written.items.size(); ++i) {
        const PlacedItem& item = written.items.at(i);
        QByteArray bytes = contents.payloads.at(i);
        bytes.append(QByteArray(item.paddedBytes - item.payloadBytes, '\0'));
        ok = writeAll(file, bytes.left(item.writtenBytes));
        if (!item.complete())
            break; // nothing after a torn item reached the disk
    }
    written.mediaEnd = file.pos();
    for (const QByteArray& item : take.trailingItems)
        ok = ok && writeAll(file, padded(item));
    if (ok && take.trailingBytes > 0)
        ok = writeAll(file, trailingPattern(take.trailingBytes));
    for (int i = 0; ok && i < take.filePokes.size(); ++i)
        ok = file.seek(take.filePokes.at(i).offset) && writeAll(file, take.filePokes.at(i).bytes);
    written.fileSize = file.size();
    file.close();
    if (!ok || file.error() != QFile::NoError) {
        written.error = QStringLiteral("cannot write ") + path + QStringLiteral(": ") + file.errorString();
        return written;
    }
    written.mediaSha256 = FileHash::sha256(path, written.mediaStart, written.mediaEnd - written.mediaStart);

    // Expectations: only what fully reached the disk can play.
    written.expectedChannelPcm = QList<QByteArray>(contents.channelPcm.size());
    for (const PlacedItem& item : qAsConst(written.items)) {
        if (!item.complete())
            break;
        if (item.kind == ItemKind::VideoFrame) {
            written.expectedFrameMd5.append(take.videoFrameMd5.value(item.index));
        } else if (item.kind == ItemKind::AudioChunk) {
            written.expectedSamplesPerChannel += item.samplesPerChannel;
            const qint64 bytes = qint64(item.samplesPerChannel) * take.audioBytesPerSample;
            const qint64 from = (written.expectedSamplesPerChannel - item.samplesPerChannel) * take.audioBytesPerSample;
            for (int channel = 0; channel < contents.channelPcm.size(); ++channel)
                written.expectedChannelPcm[channel].append(contents.channelPcm.at(channel).mid(from, bytes));
        }
    }
    written.expectedTimecode = TimecodeText::fromFrameNumber(take.startTimecode, take.movieTimeScale(),
                                                             take.movieFrameDuration(), take.dropFrame);
    written.ok = true;
    return written;
}
