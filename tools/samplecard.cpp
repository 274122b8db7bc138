#include "samplecard.h"

#include "finishedmovie.h"
#include "recordingwriter.h"
#include "sourcevideo.h"
#include "wavwriter.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A newer-family take needs this many frame map entries to be repairable;
// enough audio chunks keep short demo takes above it.
constexpr int minimumOrlaItems = 30;

} // namespace

SampleCard::SampleCard(const QString& folder, int framesPerTake)
    : root(QDir(folder).absolutePath()), frames(qMax(framesPerTake, 1))
{
}

bool SampleCard::write()
{
    const QString orla = root + QStringLiteral("/ORLA/CLIPS");
    const QString veskClips = root + QStringLiteral("/VESK/CLIPS");
    const QString veskSound = root + QStringLiteral("/VESK/SOUND");
    for (const QString& folder : { orla, veskClips, veskSound })
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("cannot create ") + folder);
    return writeOrlaTakes(orla) && writeVeskTakes(veskClips) && writeSoundTakes(veskSound);
}

bool SampleCard::isFree(const QString& path)
{
    return !QFileInfo::exists(path) || fail(path + QStringLiteral(" already exists and is not replaced"));
}

bool SampleCard::fail(const QString& what)
{
    failure = what;
    return false;
}

void SampleCard::note(const QString& path, const QString& what)
{
    lines.append(QStringLiteral("%1  %2").arg(QDir(root).relativeFilePath(path), what));
}

bool SampleCard::writeOrlaTakes(const QString& clips)
{
    // ProRes 422 HQ 23.976p with two 24-bit channels and short first and last chunks.
    const EncodedVideo hq = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 1280, 720,
                                                                QStringLiteral("24000/1001"), frames));
    if (!hq.ok)
        return fail(hq.error);
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.setVideo(hq);
    take.videoSamplesPerChunk = 2;
    take.setAudio(2, 3, qMax(2 * frames, minimumOrlaItems), 1000, 600);
    take.startTimecode = 86400; // 01:00:00:00
    take.reelName = "A001";
    QString path = clips + QStringLiteral("/A001C001.vlv");
    if (!isFree(path))
        return false;
    WrittenTake written = RecordingWriter::write(take, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("Orla, ProRes 422 HQ 720p 23.976, 2 channels 24 bit, TC %1").arg(written.expectedTimecode));

    // The same take finished, as a recorder that stopped cleanly leaves it.
    FinishedMovieContent finished;
    finished.video = &hq;
    finished.channelPcm = written.expectedChannelPcm;
    finished.timecode = written.expectedTimecode;
    path = clips + QStringLiteral("/A001C000.mov");
    if (!isFree(path))
        return false;
    const QString muxError = FinishedMovie::write(finished, path);
    if (!muxError.isEmpty())
        return fail(muxError);
    note(path, QStringLiteral("finished movie"));

    // DNxHD 1080i 29.97 drop frame, four 24-bit channels, recordedEnd inside a longer file.
    const EncodedVideo dnxhd = SourceVideo::encode(VideoFormat::dnxhd(1920, 1080, true, 120,
                                                                  QStringLiteral("30000/1001"), frames));
    if (!dnxhd.ok)
        return fail(dnxhd.error);
    take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.setVideo(dnxhd);
    take.setAudio(4, 3, qMax(2 * frames + 10, minimumOrlaItems));
    take.dropFrame = true;
    take.startTimecode = 107892; // 01:00:00;00
    take.reelName = "A001";
    take.trailingBytes = 256 * 1024;
    path = clips + QStringLiteral("/A001C002.vlv");
    if (!isFree(path))
        return false;
    written = RecordingWriter::write(take, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("Orla, DNxHD 1080i 29.97 DF, 4 channels 24 bit, TC %1, bytes after the media")
                   .arg(written.expectedTimecode));

    // A take an earlier repair gave up on: its movie data header is damaged.
    take.trailingBytes = 0;
    take.filePokes = { { 5472240, QByteArray(16, '\xFF') } };
    path = clips + QStringLiteral("/A001C003.nrv");
    if (!isFree(path))
        return false;
    written = RecordingWriter::write(take, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("not recoverable"));
    return true;
}

bool SampleCard::writeVeskTakes(const QString& clips)
{
    const EncodedVideo p4444 = SourceVideo::encode(VideoFormat::proRes(ProResProfile::P4444, 1920, 1080,
                                                                   QStringLiteral("25"), frames));
    if (!p4444.ok)
        return fail(p4444.error);
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
    take.setVideo(p4444);
    take.setAudio(2, 4, frames / 2 + 1, 2000, 0);
    take.startTimecode = 900000; // 10:00:00:00
    take.reelName = "B001";
    QString path = clips + QStringLiteral("/B001C001.vlv");
    if (!isFree(path))
        return false;
    WrittenTake written = RecordingWriter::write(take, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("Vesk, ProRes 4444 1080p 25, 2 channels 32 bit, TC %1").arg(written.expectedTimecode));

    const EncodedVideo lt = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Lt, 1920, 1080,
                                                                QStringLiteral("25"), frames, true));
    if (!lt.ok)
        return fail(lt.error);
    take = TakeDescription::forFamily(RecorderFamily::Vesk);
    take.setVideo(lt);
    take.startTimecode = 45000; // 00:30:00:00
    take.reelName = "B001";
    path = clips + QStringLiteral("/B001C002.vlv");
    if (!isFree(path))
        return false;
    written = RecordingWriter::write(take, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("Vesk, ProRes 422 LT 1080i 25, no audio, TC %1").arg(written.expectedTimecode));
    return true;
}

bool SampleCard::writeSoundTakes(const QString& sound)
{
    WavDescription description;
    description.channels = 2;
    description.bitsPerSample = 24;
    description.samplesPerChannel = 48000 * 2;
    QString path = sound + QStringLiteral("/B001S001.vla");
    if (!isFree(path))
        return false;
    WrittenWav written = WavWriter::write(description, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("unfinished WAV, 2 channels 24 bit, data size 0"));

    description.bitsPerSample = 16;
    description.finishedDataSize = true;
    description.riffSize = RiffSizeMode::Finished;
    path = sound + QStringLiteral("/B001S000.wav");
    if (!isFree(path))
        return false;
    written = WavWriter::write(description, path);
    if (!written.ok)
        return fail(written.error);
    note(path, QStringLiteral("finished WAV, 2 channels 16 bit"));
    return true;
}
