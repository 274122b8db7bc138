#include "crashtakes.h"

#include "sourcevideo.h"

namespace {

// Six ProRes frames at 25 fps (the encoding the playback tests share), two
// channels of 24 bits and a timecode of 01:00:00:00.
TakeDescription videoTake(RecorderFamily family)
{
    const EncodedVideo video = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 256, 144, "25", 30));
    TakeDescription take = TakeDescription::forFamily(family);
    take.setVideo(video);
    take.videoFrames = video.frames.mid(0, 6);
    take.videoFrameMd5 = video.frameMd5.mid(0, 6);
    take.startTimecode = 90000;
    if (family == RecorderFamily::Orla) {
        // The newer family's repair wants 30 items: small chunks make them.
        take.audioSamplesPerChunk = 240;
        take.setAudio(2, 3, 26);
    } else {
        take.setAudio(2, 3, 3, 0, 100);
    }
    return take;
}

} // namespace

QStringList CrashTakes::names()
{
    return { "Orla", "Orla, recorded end 0", "Orla, torn", "Orla, sound only", "Vesk",
        "Vesk, recorded end 0", "Vesk, torn", "WAV" };
}

CrashTake CrashTakes::make(const QString& name)
{
    if (name == "WAV")
        return CrashTake::wav(WavDescription());
    const RecorderFamily family = name.startsWith("Orla") ? RecorderFamily::Orla : RecorderFamily::Vesk;
    TakeDescription take = videoTake(family);
    if (name.endsWith("recorded end 0")) {
        take.recordedEndMode = RecordedEndMode::Zero;
    } else if (name.endsWith("torn")) {
        // The recorder's end unknown and its last items torn: the bytes an
        // interrupted repair leaves behind could make a torn item look whole.
        take.recordedEndMode = RecordedEndMode::Zero;
        take.tornItems = family == RecorderFamily::Orla ? 2 : 1;
        take.tornPartialBytes = 300;
    } else if (name.endsWith("sound only")) {
        // No picture; 4,100 one-block chunks of four channels, whose chunk
        // offset tables make a movie atom of over 128 KiB.
        take.videoFrames.clear();
        take.videoFrameMd5.clear();
        take.audioSamplesPerChunk = 64;
        take.setAudio(4, 2, 4100);
        take.recordedEndMode = RecordedEndMode::Zero;
    } else {
        // Where the recorder noted it, inside a file it had made longer.
        take.trailingBytes = 3000;
    }
    return CrashTake::video(take);
}
