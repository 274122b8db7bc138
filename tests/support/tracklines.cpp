#include "tracklines.h"

namespace {

QList<PlacedItem> wholeItemsOfKind(const WrittenTake& written, ItemKind kind)
{
    QList<PlacedItem> found;
    for (const PlacedItem& item : written.items) {
        if (!item.complete())
            break;
        if (item.kind == kind)
            found.append(item);
    }
    return found;
}

// The channel count as the settings block gives it, pokes included.
quint32 recordedChannels(const TakeDescription& take)
{
    quint32 channels = take.audioChannelCount;
    for (const SettingsPoke& poke : take.settingsPokes) {
        if (poke.field == SettingsField::AudioChannelCount)
            channels = quint32(poke.value);
    }
    return channels;
}

// Each chunk as it lies on the disk: full chunks between a first and a last
// one of their own length.
QString soundChunkEntries(const QList<PlacedItem>& chunks)
{
    QStringList entries;
    const quint32 first = chunks.first().samplesPerChannel;
    const quint32 last = chunks.last().samplesPerChannel;
    if (chunks.size() == 1) {
        entries << QStringLiteral("1:%1:1").arg(first);
    } else if (chunks.size() == 2) {
        entries << QStringLiteral("1:%1:1").arg(first) << QStringLiteral("2:%1:1").arg(last);
    } else {
        const quint32 full = chunks.at(1).samplesPerChannel;
        if (first != full)
            entries << QStringLiteral("1:%1:1").arg(first);
        entries << QStringLiteral("%1:%2:1").arg(first != full ? 2 : 1).arg(full);
        if (last != full)
            entries << QStringLiteral("%1:%2:1").arg(chunks.size()).arg(last);
    }
    return entries.join(' ');
}

} // namespace

ExpectedTracks expectedTracks(const TakeDescription& take, const WrittenTake& written, const TrackLayout& layout)
{
    QList<PlacedItem> timecodes = wholeItemsOfKind(written, ItemKind::TimecodeSample);
    if (layout.appendedBlockAt >= 0) {
        PlacedItem block;
        block.offset = layout.appendedBlockAt;
        block.paddedBytes = 512;
        timecodes.append(block);
    }
    const QList<PlacedItem> frames = wholeItemsOfKind(written, ItemKind::VideoFrame);
    const QList<PlacedItem> chunks = wholeItemsOfKind(written, ItemKind::AudioChunk);
    const quint32 channels = recordedChannels(take);
    qint64 samples = 0;
    for (const PlacedItem& chunk : chunks)
        samples += chunk.samplesPerChannel;

    const quint32 scale = take.movieTimeScale();
    const quint32 frameDuration = take.movieFrameDuration();
    ExpectedTracks expected;
    quint32& duration = expected.movieDuration;
    duration = quint32(frames.size()) * frameDuration;
    if (frames.isEmpty() && channels > 0 && !chunks.isEmpty())
        duration = quint32((quint64(samples) * scale + take.audioSampleRate - 1) / take.audioSampleRate);
    const QString edit = layout.editLists ? QStringLiteral(" edit %1").arg(duration) : QString();

    if (!timecodes.isEmpty()) {
        QList<qint64> sizes, offsets;
        for (const PlacedItem& item : timecodes) {
            sizes.append(item.paddedBytes);
            offsets.append(item.offset);
        }
        // The first sample times the movie; any later one lasts no time.
        const QString later = timecodes.size() > 1 ? QStringLiteral(" %1x0").arg(timecodes.size() - 1) : QString();
        expected.lines.append(QStringLiteral("track 1 tmcd tmcd duration %1%2 media %1/%3 stts 1x%1%4 stsc 1:1:1 stsz %5x0 [%6] co64 [%7]")
                                  .arg(duration).arg(edit).arg(scale).arg(later).arg(timecodes.size())
                                  .arg(listText(sizes), listText(offsets)));
    }
    quint32 trackId = 2;
    if (!frames.isEmpty()) {
        const int perChunk = int(layout.videoFramesPerChunk);
        const int chunkCount = (int(frames.size()) + perChunk - 1) / perChunk;
        QString entries = QStringLiteral("1:%1:1").arg(chunkCount == 1 ? frames.size() : perChunk);
        if (chunkCount > 1 && frames.size() % perChunk != 0)
            entries += QStringLiteral(" %1:%2:1").arg(chunkCount).arg(frames.size() % perChunk);
        QList<qint64> sizes, offsets;
        for (int i = 0; i < frames.size(); ++i) {
            sizes.append(frames.at(i).paddedBytes);
            if (i % perChunk == 0)
                offsets.append(frames.at(i).offset);
        }
        expected.lines.append(QStringLiteral("track %1 vide %2 duration %3%4 media %3/%5 stts %6x%7 stsc %8 stsz %6x0 [%9] co64 [%10] aligned")
                                  .arg(trackId++).arg(layout.videoFormat).arg(duration).arg(edit).arg(scale)
                                  .arg(frames.size()).arg(frameDuration)
                                  .arg(entries, listText(sizes), listText(offsets)));
    }
    if (!chunks.isEmpty() && channels > 0) {
        const QString entries = soundChunkEntries(chunks);
        for (quint32 channel = 0; channel < channels; ++channel) {
            QList<qint64> offsets;
            for (const PlacedItem& chunk : chunks)
                offsets.append(chunk.offset + qint64(channel) * take.audioBytesPerSample * chunk.samplesPerChannel);
            expected.lines.append(QStringLiteral("track %1 soun in24 duration %2%3 media %4/%5 stts %4x1 stsc %6 stsz %4x%7 [] co64 [%8] aligned")
                                      .arg(trackId++).arg(duration).arg(edit).arg(samples).arg(take.audioSampleRate)
                                      .arg(entries).arg(take.audioBytesPerSample).arg(listText(offsets)));
        }
    }
    return expected;
}
