#include "recordedformat.h"

#include "movietiming.h"
#include "quicktimeatom.h"
#include "quicktimeavidvideosampledescription.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimefile.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimecodesampledescription.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimevideosampledescription.h"
#include "recoverysettings.h"
#include "takebounds.h"
#include "timecodetext.h"

#include <QIODevice>
#include <QStringList>
#include <QtEndian>

namespace {

QString fourCCString(quint32 code)
{
    const char text[4] = { char(code >> 24), char(code >> 16), char(code >> 8), char(code) };
    return QString::fromLatin1(text, 4);
}

// The first child of `type` below `atom`, depth first; null when there is none.
const QuickTimeAtom* find(const QuickTimeAtom& atom, quint32 type)
{
    for (const QuickTimeAtom* child : atom.children) {
        if (child->type == type)
            return child;
        if (const QuickTimeAtom* found = find(*child, type))
            return found;
    }
    return nullptr;
}

template <class Atom>
const Atom* findAtom(const QuickTimeAtom& atom, quint32 type)
{
    return dynamic_cast<const Atom*>(find(atom, type));
}

QString pascalName(const QByteArray& name)
{
    return QString::fromLatin1(name).trimmed();
}

// The frame number a timecode sample holds: 4 bytes, big-endian, at the
// first chunk's offset; false when it is not wholly in the file.
bool firstTimecodeSample(const QuickTimeAtom& track, QIODevice* device, quint32* frameNumber)
{
    const auto* offsets = findAtom<QuickTimeChunkOffsetAtom>(track, fourCC("stco"));
    if (!offsets)
        offsets = findAtom<QuickTimeChunkOffsetAtom>(track, fourCC("co64"));
    if (!device || !offsets || !offsets->offsets || offsets->chunkCount == 0)
        return false;
    char first[8];
    offsets->offsets->rewind();
    if (offsets->offsets->write(first, 1, 8) != 1)
        return false;
    const quint64 at = qFromBigEndian<quint64>(first);
    const quint64 size = quint64(device->size());
    char sample[4];
    if (at > size || size - at < sizeof sample || !device->seek(qint64(at))
        || device->read(sample, sizeof sample) != qint64(sizeof sample))
        return false;
    *frameNumber = qFromBigEndian<quint32>(sample);
    return true;
}

quint16 u16At(const QByteArray& bytes, int at)
{
    return bytes.size() >= at + 2 ? qFromBigEndian<quint16>(bytes.constData() + at) : 0;
}

// A description of a format the library does not model keeps its bytes
// after the common fields: the standard video or sound fields lie there.
void readVideo(RecordedFormat& format, const QuickTimeAtom& track, const QuickTimeSampleDescription& description)
{
    format.codec = fourCCString(description.format);
    if (const auto* video = dynamic_cast<const QuickTimeVideoSampleDescription*>(&description)) {
        format.codecName = pascalName(video->compressorName);
        format.width = video->width;
        format.height = video->height;
    } else {
        const QByteArray& fields = description.opaquePayload;
        format.width = u16At(fields, 16);
        format.height = u16At(fields, 18);
        if (fields.size() >= 66)
            format.codecName = pascalName(fields.mid(35, qMin(quint8(fields.at(34)), quint8(31))));
    }
    if (const auto* proRes = dynamic_cast<const QuickTimeProResVideoSampleDescription*>(&description))
        format.interlaced = proRes->fieldsPerFrame > 1;
    else if (const auto* avid = dynamic_cast<const QuickTimeAvidVideoSampleDescription*>(&description))
        format.interlaced = avid->resolutionExtension.values[3] == 2;
    const auto* media = findAtom<QuickTimeMediaHeaderAtom>(track, fourCC("mdhd"));
    const auto* times = findAtom<QuickTimeTimeToSampleAtom>(track, fourCC("stts"));
    format.timeScale = media ? media->timeScale : 0;
    if (times) {
        for (const QuickTimeTimeToSampleAtom::Entry& entry : times->entries)
            format.frames += entry.sampleCount;
        format.frameDuration = times->entries.isEmpty() ? 0 : times->entries.first().sampleDuration;
    }
}

void readSound(RecordedFormat& format, const QuickTimeSampleDescription& description)
{
    ++format.soundTracks;
    const auto* sound = dynamic_cast<const QuickTimeSoundSampleDescription*>(&description);
    if (!sound) {
        const QByteArray& fields = description.opaquePayload;
        format.channels += u16At(fields, 8);
        format.bitsPerSample = u16At(fields, 10);
        format.sampleRate = u16At(fields, 16);
        return;
    }
    format.channels += sound->version == 2 ? sound->audioChannelCount : sound->channelCount;
    const double rate = sound->sampleRateHz();
    format.sampleRate = rate > 0 && rate < 4294967296.0 ? quint32(rate + 0.5) : 0;
    format.bitsPerSample = sound->version == 2 ? sound->bitsPerChannel
        // A packet of uncompressed sound is one sample of one channel.
        : sound->version == 1 && sound->bytesPerPacket != 0 ? sound->bytesPerPacket * 8 : sound->sampleSize;
}

void readTimecode(RecordedFormat& format, const QuickTimeAtom& track, const QuickTimeSampleDescriptionAtom& descriptions,
    const QuickTimeTimecodeSampleDescription& timecode, QIODevice* device)
{
    quint32 frameNumber = 0;
    if (firstTimecodeSample(track, device, &frameNumber))
        format.startTimecode = TimecodeText::fromFrameNumber(frameNumber, timecode.timeScale, timecode.frameDuration,
            (timecode.flags & QuickTimeTimecodeSampleDescription::DropFrame) != 0);
    if (const auto* name = findAtom<QuickTimeSourceReferenceAtom>(descriptions, fourCC("name"))) {
        const int length = qMin<int>(name->nameLength, QuickTimeSourceReferenceAtom::nameField);
        format.reel = QString::fromLatin1(name->name, qstrnlen(name->name, uint(length)));
    }
}

} // namespace

QString RecordedFormat::rateText() const
{
    if (timeScale == 0 || frameDuration == 0)
        return {};
    QString text = QString::number(double(timeScale) / frameDuration, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString RecordedFormat::summary() const
{
    QStringList parts;
    if (!codec.isEmpty()) {
        QString video = QStringLiteral("%1 %2x%3").arg(codecName.isEmpty() ? codec : codecName).arg(width).arg(height);
        if (interlaced)
            video += QStringLiteral(" interlaced");
        if (!rateText().isEmpty())
            video += QStringLiteral(" %1 fps").arg(rateText());
        parts.append(video);
    }
    if (soundTracks != 0)
        parts.append(QStringLiteral("%1 ch %2 Hz %3-bit").arg(channels).arg(sampleRate).arg(bitsPerSample));
    return parts.join(QStringLiteral(", "));
}

QString RecordedFormat::durationText() const
{
    // A length beyond any card (a movie's own header may say anything) is no length.
    if (!lengthKnown || !(durationSeconds >= 0 && durationSeconds < 1e12))
        return {};
    const quint64 milliseconds = quint64(durationSeconds * 1000 + 0.5);
    const quint64 seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

RecordedFormat RecordedFormat::fromSettings(const QuickTimeFile& file)
{
    // As the movie tree and its track builder write them: only a timecode
    // track that lists its sample is written.
    const MovieTiming timing(file);
    RecordedFormat format = described(file, file.videoFrameCount != 0, timing.hasSoundTracks, file.timecodeSampleCount > 0);
    if (!format.codec.isEmpty())
        format.frames = file.videoFrameCount;
    if (file.videoTimeScale != 0)
        format.durationSeconds = double(timing.exactMovieDuration) / file.videoTimeScale;
    format.lengthKnown = true;
    return format;
}

RecordedFormat RecordedFormat::fromSettingsBlock(QIODevice* device, const RecorderProfile& profile)
{
    QuickTimeFile file(device, profile, nullptr);
    if (!file.readRecoverySettings())
        return {};
    applyRecoverySettings(file);
    // Settings out of any recorder's range describe nothing.
    if (TakeBounds::settingsBreach(file))
        return {};
    return asSet(file);
}

RecordedFormat RecordedFormat::asSet(const QuickTimeFile& file)
{
    return described(file, true, file.audioChannelCount != 0, true);
}

RecordedFormat RecordedFormat::ofSound(quint16 channels, quint32 sampleRate, quint16 bitsPerSample, quint64 sampleBytes)
{
    RecordedFormat format;
    format.soundTracks = 1;
    format.channels = channels;
    format.sampleRate = sampleRate;
    format.bitsPerSample = bitsPerSample;
    const quint64 frameBytes = quint64(channels) * (bitsPerSample / 8);
    if (frameBytes != 0 && sampleRate != 0)
        format.durationSeconds = double(sampleBytes / frameBytes) / sampleRate;
    format.lengthKnown = true;
    return format;
}

RecordedFormat RecordedFormat::described(const QuickTimeFile& file, bool video, bool sound, bool timecode)
{
    RecordedFormat format;
    if (video && file.videoCodec <= 2) {
        if (file.videoCodec == 0) {
            format.codec = QStringLiteral("AVdn");
            format.codecName = QStringLiteral("DNxHD Codec");
            format.interlaced = file.interlaced != 0;
        } else {
            const ProResChoice& choice = file.profile.proResChoice(file.videoCodec, file.proResFlavour);
            format.codec = fourCCString(choice.format);
            format.codecName = QString::fromLatin1(choice.compressorName);
            // Progressive segmented frames are whole frames.
            format.interlaced = file.interlaced != 0 && file.vendorValues[8] == 0;
        }
        format.width = file.width;
        format.height = file.height;
    }
    format.timeScale = file.videoTimeScale;
    format.frameDuration = file.videoSampleDuration;
    if (sound) {
        format.soundTracks = file.audioChannelCount;
        format.channels = file.audioChannelCount;
        format.sampleRate = file.audioSampleRate;
        format.bitsPerSample = file.audioBytesPerSample * 8;
    }
    if (timecode) {
        format.startTimecode = TimecodeText::fromFrameNumber(file.startTimecode, file.videoTimeScale,
            file.videoSampleDuration, file.dropFrame != 0);
        format.reel = file.reelName.left(QuickTimeSourceReferenceAtom::maxNameLength);
    }
    return format;
}

RecordedFormat RecordedFormat::fromMovie(const QuickTimeAtom& root, QIODevice* device)
{
    RecordedFormat format;
    const QuickTimeAtom* movie = find(root, fourCC("moov"));
    if (!movie)
        return format;
    if (const auto* header = findAtom<QuickTimeMovieHeaderAtom>(*movie, fourCC("mvhd"))) {
        if (header->timeScale != 0) {
            format.durationSeconds = double(header->duration) / header->timeScale;
            format.lengthKnown = true;
        }
    }
    for (const QuickTimeAtom* track : movie->children) {
        if (track->type != fourCC("trak"))
            continue;
        const auto* descriptions = findAtom<QuickTimeSampleDescriptionAtom>(*track, fourCC("stsd"));
        if (!descriptions || descriptions->descriptions.isEmpty())
            continue;
        const QuickTimeSampleDescription& first = *descriptions->descriptions.first();
        const auto* handler = findAtom<QuickTimeHandlerReferenceAtom>(*track, fourCC("hdlr"));
        const quint32 kind = handler ? handler->componentSubtype : 0;
        if (kind == fourCC("vide") && format.codec.isEmpty()) {
            readVideo(format, *track, first);
        } else if (kind == fourCC("soun")) {
            readSound(format, first);
        } else if (kind == fourCC("tmcd") && format.startTimecode.isEmpty()) {
            if (const auto* timecode = dynamic_cast<const QuickTimeTimecodeSampleDescription*>(&first))
                readTimecode(format, *track, *descriptions, *timecode, device);
        }
    }
    return format;
}
