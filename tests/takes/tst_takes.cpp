// Every kind of take the recorders leave, made by the simulator and repaired
// by ambrel-cli as a user runs it. What each turns into (report lines, exit
// status, its result as JSON, the files left on the card, a digest of every
// byte the repair may have written, the --dump text of the movie) is compared with a committed
// reference, tests/takes/ref/<row>.txt; the recorded media must keep every
// byte, and takes that play are decoded by ffmpeg against their source.
//
// AMBREL_REWRITE_REFERENCES=1 writes the references instead of comparing;
// `git diff` then shows what changed.

#include "consolerun.h"
#include "filehash.h"
#include "finishedmovie.h"
#include "playercheck.h"
#include "recordedplayback.h"
#include "recordinglayout.h"
#include "recordingwriter.h"
#include "sourcevideo.h"
#include "takedescription.h"
#include "toolprocess.h"
#include "wavwriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <functional>

namespace {

using F = SettingsField;
using WavChange = std::function<void(QByteArray& file, const WrittenWav& written)>;
// Runs before the repair, on the card and the take written there.
using Preparation = std::function<void(const QString& root, const QString& takePath)>;

struct TakeRow
{
    QString name;
    QString takePath = QStringLiteral("A001C001.vlv"); // inside the card
    bool wav = false;
    bool finished = false;                  // ffmpeg's own movie of the take's frames, no media of a recorder
    TakeDescription take;
    WavDescription sound;
    WavChange change;
    bool plays = false;                     // decoded by ffmpeg against the source
    QMap<QString, QByteArray> otherFiles;   // already on the card
    Preparation before;
};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// --- takes no player decodes: stand-in frames ------------------------------

TakeDescription standIns(RecorderFamily family, int frames, int chunks = 2, quint32 channels = 1,
                         quint32 first = 0, quint32 last = 0)
{
    TakeDescription take = TakeDescription::forFamily(family);
    take.width = 1280;
    take.height = 720;
    take.setStandInFrames(frames, 600, 97);
    if (family == RecorderFamily::Orla)
        take.audioSamplesPerChunk = 640;
    take.setAudio(channels, 3, chunks, first, last);
    return take;
}

// The newer family repairs takes of 30 items and more: a timecode sample,
// 27 frames and 2 chunks.
TakeDescription orlaSmall() { return standIns(RecorderFamily::Orla, 27); }
TakeDescription veskSmall() { return standIns(RecorderFamily::Vesk, 6); }

// A copy of `value` with `change` applied: a row's variation in a line.
template <class T, class Change>
T with(T value, Change change)
{
    change(value);
    return value;
}

TakeDescription poked(TakeDescription take, const QList<SettingsPoke>& pokes)
{
    take.settingsPokes += pokes;
    return take;
}

TakeDescription withOrder(TakeDescription take, const std::function<void(QList<ItemKind>&)>& change)
{
    QList<ItemKind> order = take.resolvedItemOrder();
    change(order);
    take.itemOrder = order;
    return take;
}

// Frames in groups of `frames`, each group followed by the next of `runs`
// (taken in turn) sound chunks in a row, while either lasts.
TakeDescription inRuns(TakeDescription take, int frames, const QList<int>& runs)
{
    QList<ItemKind> order(take.timecodeSampleInMap ? 1 : 0, ItemKind::TimecodeSample);
    for (int group = 0, framesLeft = int(take.videoFrames.size()), chunksLeft = take.audioChunkCount;
         framesLeft > 0 || chunksLeft > 0; ++group) {
        const int groupFrames = qMin(frames, framesLeft);
        const int run = qMin(runs.at(group % runs.size()), chunksLeft);
        order += QList<ItemKind>(groupFrames, ItemKind::VideoFrame) + QList<ItemKind>(run, ItemKind::AudioChunk);
        framesLeft -= groupFrames;
        chunksLeft -= run;
    }
    take.itemOrder = order;
    return take;
}

TakeDescription withEnd(TakeDescription take, RecordedEndMode mode, quint64 end, qint64 trailingBytes)
{
    take.recordedEndMode = mode;
    take.recordedEnd = end;
    take.trailingBytes = trailingBytes;
    return take;
}

// The last `items` never reached the disk, except `partialBytes` of the first of them.
TakeDescription torn(TakeDescription take, int items, qint64 partialBytes)
{
    take.tornItems = items;
    take.tornPartialBytes = partialBytes;
    return take;
}

TakeDescription withAudio(TakeDescription take, quint32 samplesPerChunk, quint32 channels, quint32 bytes, int chunks,
                          quint32 first = 0, quint32 last = 0)
{
    take.audioSamplesPerChunk = samplesPerChunk;
    take.setAudio(channels, bytes, chunks, first, last);
    return take;
}

// --- takes that play: frames ffmpeg encoded ---------------------------------

TakeDescription encoded(RecorderFamily family, const VideoFormat& format, int frames, quint32 startTimecode)
{
    const EncodedVideo video = SourceVideo::encode(format);
    if (!video.ok)
        qWarning("%s", qPrintable(video.error));
    TakeDescription take = TakeDescription::forFamily(family);
    take.setVideo(video);
    take.videoFrames = video.frames.mid(0, frames);
    take.videoFrameMd5 = video.frameMd5.mid(0, frames);
    take.startTimecode = startTimecode;
    return take;
}

// ProRes 256x144 from 01:00:00:00; at 25 fps one encoding of 30 frames serves every row.
TakeDescription proRes(RecorderFamily family, int frames, ProResProfile profile = ProResProfile::Hq,
                       const QString& rate = QStringLiteral("25"))
{
    const bool shared = rate == QLatin1String("25") && profile == ProResProfile::Hq;
    return encoded(family, VideoFormat::proRes(profile, 256, 144, rate, shared ? 30 : frames), frames,
                   rate == QLatin1String("25") ? 90000 : 86400);
}

TakeDescription dnxhd1080i(RecorderFamily family)
{
    TakeDescription take = encoded(family, VideoFormat::dnxhd(1920, 1080, true, 120, "30000/1001", 5), 5, 107892);
    take.dropFrame = true; // 107,892 is 01:00:00;00 in drop-frame counting
    return take;
}

TakeDescription dnxhd720p(RecorderFamily family)
{
    return encoded(family, VideoFormat::dnxhd(1280, 720, false, 90, "25", 6), 6, 90000);
}

// 24 frames in 8 chunks of three, 8 chunks of 5,760 samples (three frames'
// worth) or shorter first and last ones: sound and picture end together, so
// the newer family's edit lists cut nothing.
TakeDescription orlaStandard(quint32 channels, quint32 bytes, quint32 first = 0, quint32 last = 0)
{
    return withAudio(proRes(RecorderFamily::Orla, 24), 5760, channels, bytes, 8, first, last);
}

// The older family's repair assumes chunks of 3,072 samples.
TakeDescription veskStandard(quint32 first = 0, quint32 last = 0)
{
    return withAudio(proRes(RecorderFamily::Vesk, 12), 3072, 2, 3, 6, first, last);
}

// --- WAV takes ----------------------------------------------------------------

WavDescription wavTake(quint16 channels = 2, quint16 bits = 24)
{
    WavDescription sound;
    sound.channels = channels;
    sound.bitsPerSample = bits;
    sound.samplesPerChannel = 4800;
    return sound;
}

void renameChunk(QByteArray& file, const WrittenWav& written, int chunk)
{
    file.replace(written.chunks.at(chunk).offset, 4, "fmX ");
}

void repairFirst(const QString& root, const QString&)
{
    runConsole({ "--finalize", root });
}

// The movie of another take, as a card reused without erasing keeps it
// behind the media of the next take.
void appendOtherTakesMovie(const QString&, const QString& takePath)
{
    QTemporaryDir other;
    const QString root = QFileInfo(other.path()).canonicalFilePath();
    const WrittenTake older = RecordingWriter::write(
        withEnd(standIns(RecorderFamily::Orla, 32), RecordedEndMode::Zero, 0, 0), root + "/A001.vlv");
    runConsole({ "--finalize", root });
    QFile repaired(root + "/A001.mov");
    QFile take(takePath);
    if (older.ok && repaired.open(QIODevice::ReadOnly) && repaired.seek(older.fileSize) && take.open(QIODevice::Append))
        take.write(repaired.readAll());
}

QList<TakeRow> makeRows()
{
    QList<TakeRow> rows;
    auto video = [&](const QString& name, const TakeDescription& take, bool plays = false) -> TakeRow& {
        TakeRow row;
        row.name = name;
        row.take = take;
        row.plays = plays;
        if (take.family == RecorderFamily::Vesk)
            row.takePath = QStringLiteral("B001C001.vlv");
        rows.append(row);
        return rows.last();
    };
    auto wav = [&](const QString& name, const WavDescription& sound, bool plays = false,
                   const WavChange& change = {}) -> TakeRow& {
        TakeRow row;
        row.name = name;
        row.wav = true;
        row.sound = sound;
        row.plays = plays;
        row.change = change;
        row.takePath = QStringLiteral("B001S001.vla");
        rows.append(row);
        return rows.last();
    };
    const auto orla = RecorderFamily::Orla;
    const auto vesk = RecorderFamily::Vesk;
    using P = ProResProfile;
    using E = RecordedEndMode;
    constexpr quint64 pastTheFile = Q_UINT64_C(1) << 40;
    constexpr quint64 insideTheFirstItem = 5472256 + 512;

    // Newer family, played. Sound lasts as long as the picture: 5 frames of
    // 29.97 are 8,008 samples, 6 of 25 are 11,520, 12 of 23.976 24,024, 24 of
    // 25 are 92,160 at 96 kHz, 29 of 25 are 55,680.
    video("orla-prores-hq-2ch-24bit-short-first-last-chunks", orlaStandard(2, 3, 4000, 7520), true);
    video("orla-dnxhd-1080i-drop-frame-1ch-32bit", withAudio(dnxhd1080i(orla), 334, 1, 4, 24, 300, 360), true);
    video("orla-dnxhd-720p-2ch-16bit", withAudio(dnxhd720p(orla), 480, 2, 2, 24), true);
    video("orla-prores-4444xq-4ch-32bit", withAudio(proRes(orla, 6, P::P4444Xq), 480, 4, 4, 24), true);
    video("orla-prores-proxy-8ch-16bit", withAudio(proRes(orla, 6, P::Proxy), 480, 8, 2, 24), true);
    video("orla-no-audio", proRes(orla, 30), true);
    video("orla-23976", withAudio(proRes(orla, 12, P::Hq, "24000/1001"), 1092, 1, 4, 22), true);
    video("orla-96khz", with(withAudio(orlaStandard(2, 3), 11520, 2, 3, 8), [](auto& t) { t.audioSampleRate = 96000; }), true);
    video("orla-recorded-end-inside-longer-file", withEnd(orlaStandard(1, 3), E::MapEnd, 0, 100000), true);
    // 30 frames in chunks of four (the last one of two), 1.2 s of sound.
    video("orla-frames-per-chunk-not-dividing-the-frames",
          with(withAudio(proRes(orla, 30), 7200, 2, 3, 8), [](auto& t) { t.videoSamplesPerChunk = 4; }), true);
    video("orla-no-video", withAudio(TakeDescription::forFamily(orla), 1000, 2, 3, 30), true);
    video("orla-no-timecode-sample", with(orlaStandard(2, 4), [](auto& t) { t.timecodeSampleInMap = false; }), true);
    // The last frame reached the disk in part, the frame and the short last
    // chunk after it not at all; the recorder's end lies past the file.
    video("orla-torn-tail", torn(orlaStandard(2, 3, 4000, 7520), 3, 100), true);
    video("orla-recorded-end-0", withEnd(orlaStandard(1, 3), E::Zero, 0, 4096), true);
    video("orla-recorded-end-inside-the-head", withEnd(orlaStandard(1, 3), E::Explicit, 1000, 0), true);
    video("orla-recorded-end-past-the-file", withEnd(orlaStandard(1, 3), E::Explicit, pastTheFile, 0), true);
    // A stale end inside the last item: the items are the truth.
    video("orla-recorded-end-before-the-end-of-the-items",
          withEnd(orlaStandard(1, 3), E::Explicit, insideTheFirstItem, 4096), true);
    // One chunk that is the first and the last holds the first count.
    video("orla-one-audio-chunk-first-and-last-count", withAudio(proRes(orla, 29), 2048, 1, 3, 1, 55680, 1000), true);
    video("orla-two-short-audio-chunks", withAudio(proRes(orla, 29), 2048, 2, 3, 2, 27000, 28680), true);
    video("orla-one-audio-chunk-last-count", withAudio(proRes(orla, 29), 2048, 2, 3, 1, 0, 55680), true);
    // Two frames, fewer than a chunk holds; 0.08 s of sound in 30 chunks.
    video("orla-one-video-chunk-not-full", withAudio(proRes(orla, 2), 128, 1, 3, 30), true);
    video("orla-two-timecode-samples",
          withOrder(orlaStandard(1, 3), [](QList<ItemKind>& order) { order.insert(5, ItemKind::TimecodeSample); }), true);

    // Newer family, stand-in frames.
    video("orla-kind-3-items-between-and-last", withOrder(standIns(orla, 26, 9, 2), [](QList<ItemKind>& order) {
        order.insert(3, ItemKind::Unknown);
        order.insert(10, ItemKind::Unknown);
        order.append(ItemKind::Unknown);
    }));
    // Entries after the first zero entry are not items.
    video("orla-entries-after-the-end-of-the-map", with(standIns(orla, 26, 9, 1), [](auto& t) {
        t.frameMapPokes.insert(36, 0x4001);
        t.frameMapPokes.insert(37, 0x0002);
    }));
    video("orla-30-items", standIns(orla, 27));
    video("orla-29-items", standIns(orla, 26));
    // The map lists 40, but only 29 reached the disk whole.
    video("orla-29-whole-items", torn(standIns(orla, 37), 11, 0));
    video("orla-movie-data-header-damaged",
          with(orlaSmall(), [](auto& t) { t.filePokes.append({ 5472240 + 15, QByteArray(1, char(32)) }); }));
    video("orla-no-settings", with(orlaSmall(), [](auto& t) { t.filePokes.append({ 36, QByteArray(120, '\0') }); }));
    video("orla-nothing-behind-the-head", with(standIns(orla, 0, 0, 0), [](auto& t) { t.timecodeSampleInMap = false; }));
    video("orla-no-video-chunking", poked(orlaSmall(), { { F::VideoSamplesPerChunk, 0 } }));
    video("orla-no-height", poked(orlaSmall(), { { F::Height, 0 } }));
    video("orla-channels-without-a-sample-width", poked(orlaSmall(), { { F::AudioBytesPerSample, 0 } }));
    video("orla-reel-name-of-32-bytes", with(orlaSmall(), [](auto& t) { t.reelName = QByteArray(32, 'R'); }));
    video("orla-upper-case-extension", orlaSmall()).takePath = QStringLiteral("A001.VLV");
    video("orla-vlv-in-a-folder-name", orlaSmall()).takePath = QStringLiteral("old.vlv.takes/A001.vlv");
    video("orla-mov-taken", orlaSmall()).otherFiles.insert(QStringLiteral("A001C001.mov"), "an older file");
    video("orla-nrv-taken-by-a-take-too-short", standIns(orla, 26))
        .otherFiles.insert(QStringLiteral("A001C001.nrv"), "an older file");
    video("orla-repaired-before", orlaSmall()).before = repairFirst;
    video("orla-repaired-before-not-renamed", orlaSmall()).before = [](const QString& root, const QString& takePath) {
        repairFirst(root, takePath);
        QFile::rename(QString(takePath).replace(".vlv", ".mov"), takePath);
    };
    video("orla-a-whole-movie-under-the-recorders-name", TakeDescription::forFamily(orla)).finished = true;
    video("orla-movie-of-another-take-behind-the-media", withEnd(standIns(orla, 37), E::Zero, 0, 0)).before
        = appendOtherTakesMovie;
    // The map is read in blocks of 8,192 entries: one whose frames lie in its
    // second block, which it fills exactly; one without an end, whose last
    // slot lists a frame of no length; a take whose map is shorter than the
    // one of the take before it.
    video("orla-map-ending-with-its-second-read-block", withOrder(orlaSmall(), [](QList<ItemKind>& order) {
        order.insert(1, 2 * 8192 - 30, ItemKind::Unknown);
    }));
    video("orla-map-filling-its-capacity", with(orlaSmall(), [](auto& t) {
        t.emptyEntries = RecordingLayout::frameMapEntries - 31;
        t.frameMapPokes.insert(RecordingLayout::frameMapEntries - 1, 0x4000);
    }));
    video("vesk-map-shorter-than-the-take-befores", veskSmall()).before = [](const QString& root, const QString&) {
        RecordingWriter::write(with(veskSmall(), [](auto& t) { t.emptyEntries = 20000; }), root + "/B000C001.vlv");
    };

    // Older family, played.
    video("vesk-prores-hq-2ch-24bit-short-first-last-chunks", veskStandard(1000, 500), true);
    video("vesk-prores-422-1ch-16bit", withAudio(proRes(vesk, 6, P::Standard), 3072, 1, 2, 3), true);
    video("vesk-prores-lt-4ch-32bit", withAudio(proRes(vesk, 6, P::Lt), 3072, 4, 4, 2, 0, 2000), true);
    video("vesk-prores-proxy-no-audio", proRes(vesk, 6, P::Proxy), true);
    video("vesk-prores-4444-8ch-24bit", withAudio(proRes(vesk, 6, P::P4444), 3072, 8, 3, 2), true);
    video("vesk-dnxhd-1080i-drop-frame", withAudio(dnxhd1080i(vesk), 3072, 1, 4, 3, 300, 360), true);
    video("vesk-dnxhd-720p", withAudio(dnxhd720p(vesk), 3072, 2, 3, 2), true);
    video("vesk-23976", withAudio(proRes(vesk, 12, P::Hq, "24000/1001"), 3072, 1, 3, 4), true);
    video("vesk-96khz", with(veskStandard(), [](auto& t) { t.audioSampleRate = 96000; }), true);
    video("vesk-recorded-end-inside-longer-file", withEnd(veskStandard(), E::MapEnd, 0, 100000), true);
    // The block goes where the media ends by the file, not where the frame
    // map ends: the timecode track must point at it there.
    video("vesk-recorded-end-0", withEnd(veskStandard(), E::Zero, 0, 4096 + 100), true);
    video("vesk-recorded-end-past-the-file", withEnd(veskStandard(), E::Explicit, pastTheFile, 777), true);
    video("vesk-recorded-end-before-the-end-of-the-items", withEnd(veskStandard(), E::Explicit, insideTheFirstItem, 4096), true);
    video("vesk-recorded-end-inside-the-head", withEnd(veskStandard(), E::Explicit, 1000, 0), true);
    video("vesk-torn-tail", torn(veskStandard(1000, 500), 3, 100), true);
    video("vesk-no-video", withAudio(TakeDescription::forFamily(vesk), 3072, 2, 3, 5, 0, 1234), true);
    video("vesk-two-frames-one-audio-chunk-first-and-last-count", withAudio(proRes(vesk, 2), 3072, 1, 3, 1, 2000, 1000), true);
    video("vesk-two-short-audio-chunks", withAudio(proRes(vesk, 4), 3072, 2, 3, 2, 2000, 1000), true);
    video("vesk-the-recorders-own-timecode-sample", with(veskStandard(), [](auto& t) { t.timecodeSampleInMap = true; }), true);

    // Older family, stand-in frames.
    video("vesk-7-frames-a-last-chunk-of-one", standIns(vesk, 7, 3, 1));
    video("vesk-kind-3-items-one-last", withOrder(standIns(vesk, 9, 3, 2), [](QList<ItemKind>& order) {
        order.insert(3, ItemKind::Unknown);
        order.append(ItemKind::Unknown);
    }));
    video("vesk-entries-after-the-first-zero-entry", with(standIns(vesk, 9, 3, 1), [](auto& t) {
        t.frameMapPokes.insert(13, 0x4001);
        t.frameMapPokes.insert(14, 0x0002);
    }));
    // Bytes behind the head, or the take would not count as recorded at all.
    video("vesk-empty-frame-map", withEnd(standIns(vesk, 0, 0, 0), E::MapEnd, 0, 1000));
    video("vesk-audio-chunks-without-channels", poked(standIns(vesk, 9, 3, 1), { { F::AudioChannelCount, 0 } }));
    video("vesk-a-codec-the-recorder-did-not-name", with(standIns(vesk, 9, 3, 1), [](auto& t) { t.videoCodec = 3; }));
    video("vesk-reel-name-of-32-bytes", with(veskSmall(), [](auto& t) { t.reelName = QByteArray(32, 'R'); }));
    const TakeDescription veskDamaged =
        with(veskSmall(), [](auto& t) { t.filePokes.append({ 5472240 + 15, QByteArray(1, char(32)) }); });
    video("vesk-movie-data-header-damaged", veskDamaged);
    video("vesk-nrv-taken", veskDamaged).otherFiles.insert(QStringLiteral("B001C001.nrv"), "an older file");
    video("vesk-no-settings", with(veskSmall(), [](auto& t) { t.filePokes.append({ 20, QByteArray(108, '\0') }); }));
    video("vesk-nothing-behind-the-head", standIns(vesk, 0, 0, 0));
    video("vesk-sound-without-a-sample-width", poked(veskSmall(), { { F::AudioBytesPerSample, 0 } }));
    video("vesk-upper-case-extension", veskSmall()).takePath = QStringLiteral("B001.VLV");
    // Failure names in capitals are listed, never opened.
    video("vesk-upper-case-failure-name", veskSmall()).takePath = QStringLiteral("B001.NRV");
    video("vesk-upper-case-sound-failure-name", veskSmall()).takePath = QStringLiteral("B001.NRA");
    video("vesk-vlv-in-a-folder-name", veskSmall()).takePath = QStringLiteral("a.vlv/B001.vlv");
    video("vesk-mov-taken", veskSmall()).otherFiles.insert(QStringLiteral("B001C001.mov"), "an older file");
    video("vesk-repaired-before", veskSmall()).before = repairFirst;

    // Maps that lag behind the media: the items the recorder wrote after its
    // last update prove themselves and are repaired with the take; nothing
    // behind them is taken. The takes end on a frame or on a short last
    // chunk, so every item is one the search can prove.
    const auto lagging = [](TakeDescription take, int unlisted, RecordedEndMode end) {
        take.unlistedItems = unlisted;
        take.recordedEndMode = end;
        return take;
    };
    // 24 frames and 7 chunks: the take ends on three frames.
    const TakeDescription endingOnFrames = withAudio(proRes(orla, 24), 5760, 2, 3, 7, 4000, 7520);
    // The example: 40 frames on the card, 34 of them in the map.
    video("orla-map-6-items-short-end-lagging",
          lagging(withAudio(proRes(orla, 30), 6000, 1, 3, 10, 0, 3600), 6, E::ListedEnd), true);
    video("orla-map-short-recorded-end-0", lagging(orlaStandard(2, 3, 4000, 7520), 9, E::Zero), true);
    video("orla-map-never-written", lagging(orlaStandard(2, 3, 4000, 7520), -1, E::Zero), true);
    // The frame the map lists gives the length of the others.
    video("orla-dnxhd-1080i-map-4-items-short",
          withOrder(lagging(withAudio(dnxhd1080i(orla), 334, 1, 4, 24, 300, 360), 4, E::ListedEnd),
              [](QList<ItemKind>& order) {
                  using K = ItemKind;
                  order = QList<K>{ K::TimecodeSample, K::VideoFrame, K::VideoFrame, K::VideoFrame }
                      + QList<K>(22, K::AudioChunk) + QList<K>{ K::AudioChunk, K::VideoFrame, K::VideoFrame, K::AudioChunk };
              }),
          true);
    video("orla-map-short-junk-after",
          withEnd(lagging(endingOnFrames, 5, E::ListedEnd), E::ListedEnd, 0, 4096), true);
    video("orla-map-short-another-takes-frames-after",
          with(lagging(endingOnFrames, 5, E::ListedEnd), [](auto& t) {
              t.trailingItems = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 320, 180, "25", 3)).frames;
          }),
          true);
    // Room in the map for three of the five items found, no more.
    video("orla-map-short-near-its-capacity", with(lagging(endingOnFrames, 5, E::ListedEnd), [](auto& t) {
              t.emptyEntries = RecordingLayout::frameMapEntries - 27 - 3;
          }));
    // Sound alone proves nothing: the take is repaired as its map has it,
    // its movie behind the chunks it does not list.
    const TakeDescription soundOnly = withAudio(TakeDescription::forFamily(orla), 1000, 2, 3, 34);
    video("orla-no-video-map-short", lagging(soundOnly, 4, E::Zero));
    video("orla-no-video-map-short-recorded-end-lagging", lagging(soundOnly, 4, E::ListedEnd));
    // Sound whose chunk matches no frame comes in runs between frames; the
    // last run ends the file. DNxHD 720p 59.94, two frames to a chunk.
    video("orla-dnxhd-720p-5994-chunk-runs-of-2-map-6-short",
          lagging(inRuns(with(withAudio(encoded(orla, VideoFormat::dnxhd(1280, 720, false, 90, "60000/1001", 24), 24, 90000),
                                   800, 2, 3, 24), [](auto& t) { t.videoSamplesPerChunk = 2; }), 2, { 2 }), 6, E::ListedEnd),
          true);
    video("orla-prores-chunk-runs-of-3-map-8-short",
          lagging(inRuns(withAudio(proRes(orla, 30), 1920, 1, 3, 30), 3, { 3 }), 8, E::ListedEnd), true);
    video("vesk-prores-720x576-chunk-runs-of-1-and-2-map-7-short",
          lagging(inRuns(withAudio(encoded(vesk, VideoFormat::proRes(P::Hq, 720, 576, "25", 24), 24, 90000), 3072, 2, 3, 15),
                      3, { 2, 2, 2, 2, 2, 2, 1, 2 }), 7, E::Zero), true);
    video("vesk-dnxhd-720p-chunk-runs-of-3-map-5-short",
          lagging(inRuns(withAudio(dnxhd720p(vesk), 3072, 2, 3, 3), 3, { 3 }), 5, E::ListedEnd), true);
    // Two chunks' length of junk after the last frame: no run.
    video("orla-map-short-chunk-lengths-of-junk-after",
          withEnd(lagging(endingOnFrames, 5, E::ListedEnd), E::ListedEnd, 0, 2 * 34816 + 300), true);
    // Nothing proves the frames behind the map: the movie goes behind them.
    video("orla-map-short-nothing-found-recorded-end-lagging", lagging(inRuns(standIns(orla, 27, 9, 2), 3, { 3 }), 5, E::ListedEnd));
    // The settings give a short last chunk, the chunks found are full.
    video("orla-map-short-ending-on-full-chunks-despite-a-short-last-count",
          poked(lagging(withAudio(proRes(orla, 24), 5760, 2, 3, 8), 5, E::ListedEnd), { { F::AudioLastChunkSamples, 2000 } }),
          true);
    video("vesk-map-short-end-lagging", lagging(withAudio(proRes(vesk, 12), 3072, 2, 3, 4, 1000, 500), 4, E::ListedEnd),
          true);
    // The last frame ends the file.
    video("vesk-dnxhd-720p-map-short-ending-on-a-frame", lagging(withAudio(dnxhd720p(vesk), 3072, 2, 3, 1), 4, E::Zero),
          true);
    // No map entry to take the frame length from: the compression's own.
    video("vesk-dnxhd-720p-map-never-written", lagging(withAudio(dnxhd720p(vesk), 3072, 2, 3, 2, 0, 1000), -1, E::Zero),
          true);

    // Every picture size the recorders know, and one they do not: the pixel
    // aspect and clean aperture their ProRes descriptions carry.
    for (const auto& [width, height] : { std::pair{ 720, 480 }, { 720, 486 }, { 720, 576 }, { 960, 720 }, { 1280, 720 },
             { 1296, 720 }, { 1280, 1080 }, { 1440, 1080 }, { 1920, 1080 }, { 3840, 2160 }, { 4096, 2160 }, { 1000, 500 } }) {
        for (const RecorderFamily family : { orla, vesk }) {
            const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
            video((family == orla ? "orla-picture-" : "vesk-picture-") + size,
                with(family == orla ? orlaSmall() : veskSmall(), [&](auto& t) {
                    t.width = quint16(width);
                    t.height = quint16(height);
                }));
        }
    }
    // A second of sound without video: the movie lasts exactly a second.
    video("orla-no-video-one-second", withAudio(TakeDescription::forFamily(orla), 1000, 1, 2, 48), true);

    // Settings out of any recorder's range are refused before a byte is
    // written, under a name in any script; values at the bounds still play.
    const QString hostilePath = QStringLiteral("Szene 3 – Außen/Überblick é 01.vlv");
    for (const RecorderFamily family : { orla, vesk }) {
        const QString prefix = family == orla ? QStringLiteral("orla-") : QStringLiteral("vesk-");
        const TakeDescription small = family == orla ? orlaSmall() : veskSmall();
        auto refused = [&](const char* name, const QList<SettingsPoke>& pokes) {
            video(prefix + "refused-" + name, poked(small, pokes)).takePath = hostilePath;
        };
        refused("4294967295-channels", { { F::AudioChannelCount, 0xFFFFFFFFu } });
        refused("65-channels", { { F::AudioChannelCount, 65 } });
        refused("5-bytes-a-sample", { { F::AudioBytesPerSample, 5 } });
        refused("sample-rate-7999", { { F::AudioSampleRate, 7999 } });
        refused("sample-rate-384001", { { F::AudioSampleRate, 384001 } });
        refused("frame-rate-0", { { F::RecordedRate, 0 } });
        refused("field-rate-1-halved-to-0", { { F::RecordedRate, 1 }, { F::Interlaced, 1 } });
        refused("256-timecode-frames-a-second", { { F::RecordedRate, 25501 } });
        refused("no-width", { { F::Width, 0 } });
        refused("a-first-chunk-longer-than-any-item", { { F::AudioFirstChunkSamples, 0x7FFFFFFF } });
        refused("a-last-chunk-longer-than-any-item", { { F::AudioLastChunkSamples, 2796033 } });
        refused("two-channels-in-chunks-of-one", { { F::AudioChannelCount, 2 } });

        // 27 frames (6 for the older family) and two chunks of one channel.
        const TakeDescription bound = family == orla ? withAudio(proRes(orla, 27), 256, 1, 3, 2)
                                                     : withAudio(proRes(vesk, 6), 3072, 1, 3, 2);
        video(prefix + "bound-64-channels", with(bound, [](auto& t) { t.audioChannelCount = 64; }), true);
        video(prefix + "bound-8khz", with(bound, [](auto& t) { t.audioSampleRate = 8000; }), true);
        video(prefix + "bound-384khz", with(bound, [](auto& t) { t.audioSampleRate = 384000; }), true);
        video(prefix + "bound-255-frames-a-second", with(bound, [](auto& t) { t.recordedRate = 25500; }), true);
    }
    video("orla-refused-no-samples-a-chunk", poked(orlaSmall(), { { F::AudioSamplesPerChunk, 0 } })).takePath = hostilePath;
    video("orla-refused-full-chunks-longer-than-any-item", poked(orlaSmall(), { { F::AudioSamplesPerChunk, 2796033 } }))
        .takePath = hostilePath;
    // Chunks of one sample each whose settings then claim 4,194,048 samples
    // a chunk: 1,100 of them are more than 2^32 a channel; 400 at 8 kHz and
    // 255 frames a second make a duration past 32 bits.
    const QList<SettingsPoke> longChunks{ { F::AudioSamplesPerChunk, 4194048 } };
    video("orla-refused-more-samples-than-32-bits-count",
          poked(withAudio(TakeDescription::forFamily(orla), 1, 1, 2, 1100), longChunks)).takePath = hostilePath;
    video("orla-refused-a-duration-past-32-bits",
          poked(withAudio(TakeDescription::forFamily(orla), 1, 1, 2, 400),
                longChunks + QList<SettingsPoke>{ { F::AudioSampleRate, 8000 }, { F::RecordedRate, 25500 } }))
        .takePath = hostilePath;

    // WAV takes.
    wav("wav-24bit-stereo", wavTake(), true);
    wav("wav-16bit-mono-44khz", with(wavTake(1, 16), [](auto& s) { s.sampleRate = 44100; }), true);
    wav("wav-32bit-4ch", wavTake(4, 32), true);
    wav("wav-24bit-4ch-odd-ixml", with(wavTake(4, 24), [](auto& s) { s.ixmlLength = 301; }), true);
    wav("wav-odd-ixml-without-a-pad-byte", with(wavTake(), [](auto& s) {
        s.ixmlLength = 301;
        s.padOddChunks = false;
    }));
    wav("wav-extensible-format", with(wavTake(), [](auto& s) { s.extensibleFormat = true; }), true);
    wav("wav-10000-byte-ixml", with(wavTake(), [](auto& s) { s.ixmlLength = 10000; }));
    wav("wav-odd-chunk-without-a-pad-byte-before-data", with(wavTake(), [](auto& s) {
        s.extraChunks = { { "JUNK", "12345" } };
        s.padOddChunks = false;
    }));
    wav("wav-no-bext-or-ixml-a-data-pattern-first", with(wavTake(), [](auto& s) {
        s.withBext = false;
        s.withIxml = false;
        s.strayDataPatternAt = 0;
    }), true);
    wav("wav-stray-data-pattern-within-the-samples", with(wavTake(), [](auto& s) { s.strayDataPatternAt = 1000; }));
    wav("wav-without-samples", with(wavTake(), [](auto& s) { s.samplesPerChannel = 0; }));
    wav("wav-already-finished", with(wavTake(), [](auto& s) {
        s.finishedDataSize = true;
        s.riffSize = RiffSizeMode::Finished;
    }), true);
    wav("wav-refused-riff-not-wave", wavTake(), false, [](QByteArray& file, const WrittenWav&) { file.replace(8, 4, "AVI "); });
    wav("wav-refused-float-format", with(wavTake(), [](auto& s) { s.formatTag = 3; }));
    wav("wav-refused-no-fmt-before-data", wavTake(), false,
        [](QByteArray& file, const WrittenWav& written) { renameChunk(file, written, 2); });
    // An extensible fmt that declares 22 bytes of extension in a 20-byte
    // chunk, ahead of the writer's own one, which is renamed out of the way.
    wav("wav-refused-fmt-shorter-than-its-fields",
        with(wavTake(), [](auto& s) { s.extraChunks = { { "fmt ", QByteArray::fromHex("feff020080bb000000ee02000400100016000000") } }; }),
        false, [](QByteArray& file, const WrittenWav& written) { renameChunk(file, written, 3); });
    wav("wav-refused-cut-in-a-chunk-header", wavTake(), false,
        [](QByteArray& file, const WrittenWav& written) { file.truncate(written.chunks.at(1).offset + 5); });
    return rows;
}

const QList<TakeRow>& rows()
{
    static const QList<TakeRow> all = makeRows();
    return all;
}

QDateTime recorderTime()
{
    return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 123), Qt::UTC);
}

QString referenceFolder()
{
    return qEnvironmentVariable("AMBREL_SOURCE_DIR") + QStringLiteral("/tests/takes/ref");
}

bool rewriting()
{
    return qEnvironmentVariable("AMBREL_REWRITE_REFERENCES") == QLatin1String("1");
}

// Every file of the card, by its path inside the card, with its size.
QStringList cardFiles(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.append(QStringLiteral("%1 (%2 bytes)").arg(QDir(root).relativeFilePath(path)).arg(QFileInfo(path).size()));
    }
    files.sort();
    return files;
}

// The take after the run: the file of the take's name (whatever its
// extension now) that still holds the recorded media as it was.
QString takeAfter(const QString& takePath, qint64 mediaStart, qint64 mediaEnd, const QByteArray& mediaSha256)
{
    const QFileInfo take(takePath);
    const QFileInfoList candidates = take.dir().entryInfoList({ take.completeBaseName() + ".*" }, QDir::Files, QDir::Name);
    for (const QFileInfo& candidate : candidates) {
        if (FileHash::sha256(candidate.filePath(), mediaStart, mediaEnd - mediaStart) == mediaSha256)
            return candidate.filePath();
    }
    return {};
}

// SHA-256 of the whole file except [mediaStart, mediaEnd).
QByteArray writtenDigest(const QString& path, qint64 mediaStart, qint64 mediaEnd)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(file.read(mediaStart));
    if (file.seek(mediaEnd))
        while (!file.atEnd())
            hash.addData(file.read(1 << 20));
    return hash.result().toHex();
}

QString wavSizes(const QString& path, qint64 dataStart)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < dataStart || dataStart < 8)
        return QStringLiteral("no size fields\n");
    const QByteArray head = file.read(dataStart);
    return QStringLiteral("RIFF size: %1\ndata size: %2\n")
        .arg(qFromLittleEndian<quint32>(head.constData() + 4))
        .arg(qFromLittleEndian<quint32>(head.constData() + dataStart - 4));
}

// The lines of a run with the card's path replaced, so a reference does not
// depend on where the card was made.
QString normalized(QString text, const QString& root)
{
    text.replace(root, QStringLiteral("<card>"));
    text.replace(QRegularExpression(QStringLiteral("^Checking drive: [^\n]*$"), QRegularExpression::MultilineOption),
                 QStringLiteral("Checking drive: <drive>"));
    return text;
}

QString wavMismatch(const QString& path, const WavDescription& sound, const WrittenWav& written)
{
    const MovieInfo info = PlayerCheck::probe(path);
    if (!info.ok)
        return info.error;
    const int bytes = sound.bitsPerSample / 8;
    if (info.streams.size() != 1 || info.streams.first().channels != sound.channels
        || info.streams.first().sampleRate != int(sound.sampleRate)
        || info.streams.first().durationTs != sound.samplesPerChannel)
        return QStringLiteral("not one stream of %1 channels at %2 Hz, %3 samples").arg(sound.channels)
            .arg(sound.sampleRate).arg(sound.samplesPerChannel);
    QString error;
    if (PlayerCheck::audioSamples(path, 0, bytes, &error) != written.expectedSamples)
        return QStringLiteral("the samples decode to others ") + error;
    return {};
}

} // namespace

class TakesTest : public QObject
{
    Q_OBJECT

private slots:
    void take_data();
    void take();
    void everyReferenceHasItsRow();
};

void TakesTest::take_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < rows().size(); ++i)
        QTest::newRow(qPrintable(rows().at(i).name)) << i;
}

void TakesTest::take()
{
    QFETCH(int, index);
    const TakeRow& row = rows().at(index);

    QTemporaryDir card;
    QVERIFY(card.isValid());
    const QString root = QFileInfo(card.path()).canonicalFilePath();
    const QString takePath = root + QLatin1Char('/') + row.takePath;
    QVERIFY(QDir().mkpath(QFileInfo(takePath).absolutePath()));

    WrittenTake written;
    WrittenWav writtenWav;
    qint64 mediaStart = 0;
    qint64 mediaEnd = 0;
    if (row.wav) {
        writtenWav = WavWriter::write(row.sound, takePath);
        QVERIFY2(writtenWav.ok, qPrintable(writtenWav.error));
        if (row.change) {
            QFile file(takePath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            file.close();
            row.change(bytes, writtenWav);
            QVERIFY(writeFile(takePath, bytes));
        }
        mediaEnd = QFileInfo(takePath).size();
        mediaStart = qMin(writtenWav.dataStart, mediaEnd);
    } else if (row.finished) {
        const EncodedVideo video = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 256, 144, "25", 30));
        FinishedMovieContent content;
        content.video = &video;
        const QString error = FinishedMovie::write(content, takePath);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    } else {
        written = RecordingWriter::write(row.take, takePath);
        QVERIFY2(written.ok, qPrintable(written.error));
        mediaStart = written.mediaStart;
        mediaEnd = written.mediaEnd;
    }
    const QByteArray mediaSha256 = FileHash::sha256(takePath, mediaStart, mediaEnd - mediaStart);
    for (auto file = row.otherFiles.constBegin(); file != row.otherFiles.constEnd(); ++file)
        QVERIFY(writeFile(root + QLatin1Char('/') + file.key(), file.value()));
    // The time the recorder last wrote the take (editors sort by it), kept
    // by a run before too.
    const auto stamp = [&] {
        QFile take(takePath);
        return !take.exists()
            || (take.open(QIODevice::ReadWrite) && take.setFileTime(recorderTime(), QFileDevice::FileModificationTime));
    };
    QVERIFY(stamp());
    if (row.before)
        row.before(root, takePath);
    QVERIFY(stamp());

    const ConsoleRun checkBefore = runConsole({ "--check", takePath });
    const ConsoleRun scan = runConsole({ "--json", takePath });
    // One run gives both: the report lines on standard error, each take's result as data on standard output.
    const ConsoleRun run = runConsole({ "--json", "--finalize", root });
    const QString after = takeAfter(takePath, mediaStart, mediaEnd, mediaSha256);
    QVERIFY2(!after.isEmpty(), "no file of the take's name holds the recorded media as it was");

    QString text;
    QTextStream out(&text);
    out << "take: " << row.takePath << "\n== report, exit status " << run.exitCode << '\n'
        << normalized(run.err, root) << "== json\n" << normalized(run.out, root) << "== scan of the take, exit status "
        << scan.exitCode << '\n' << normalized(scan.out, root) << "== files\n" << cardFiles(root).join(QLatin1Char('\n')) << '\n'
        << "== " << QDir(root).relativeFilePath(after) << ": SHA-256 of all but the media [" << mediaStart << ", "
        << mediaEnd << ")\n" << writtenDigest(after, mediaStart, mediaEnd) << '\n'
        << "== modified " << (QFileInfo(after).lastModified() == recorderTime() ? "when recorded" : "by the run") << '\n';
    if (row.wav) {
        out << "== sizes\n" << wavSizes(after, writtenWav.dataStart);
    } else {
        const ConsoleRun dump = runConsole({ "--dump", after });
        out << "== dump, exit status " << dump.exitCode << '\n' << dump.out;
    }
    const ConsoleRun checkAfter = runConsole({ "--check", after });
    out << "== check before, exit status " << checkBefore.exitCode << '\n' << normalized(checkBefore.out, root)
        << "== check after, exit status " << checkAfter.exitCode << '\n' << normalized(checkAfter.out, root);
    out.flush();

    const QString referencePath = referenceFolder() + QLatin1Char('/') + row.name + QStringLiteral(".txt");
    if (rewriting()) {
        QVERIFY(writeFile(referencePath, text.toUtf8()));
    } else {
        QFile reference(referencePath);
        QVERIFY2(reference.open(QIODevice::ReadOnly),
                 qPrintable("no reference " + referencePath + "; AMBREL_REWRITE_REFERENCES=1 writes it"));
        if (reference.readAll() != text.toUtf8()) {
            const QString actualPath = card.filePath(QStringLiteral("actual.txt"));
            QVERIFY(writeFile(actualPath, text.toUtf8()));
            const ToolRun diff = ToolProcess::run(QStringLiteral("diff"), { "-u", referencePath, actualPath });
            QFAIL(qPrintable(QString::fromUtf8(diff.standardOutput.left(20000))));
        }
    }

    if (row.plays) {
        const bool timecode = row.take.family == RecorderFamily::Vesk || !written.offsetsOf(ItemKind::TimecodeSample).isEmpty();
        const QString mismatch = row.wav ? wavMismatch(after, row.sound, writtenWav)
                                         : RecordedPlayback::mismatch(after, row.take, written, timecode ? 1 : 0);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
}

void TakesTest::everyReferenceHasItsRow()
{
    QStringList names;
    for (const TakeRow& row : rows())
        names.append(row.name + QStringLiteral(".txt"));
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    const QStringList references = QDir(referenceFolder()).entryList({ "*.txt" }, QDir::Files);
    for (const QString& reference : references) {
        if (names.contains(reference))
            continue;
        if (rewriting())
            QFile::remove(referenceFolder() + QLatin1Char('/') + reference);
        else
            QFAIL(qPrintable(reference + " belongs to no row"));
    }
}

QTEST_GUILESS_MAIN(TakesTest)
#include "tst_takes.moc"
