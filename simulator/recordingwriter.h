#pragma once

#include "takedescription.h"
#include "writtentake.h"

#include <QString>

// Writes an unfinished video take exactly as a recorder leaves it: the head
// of RecordingHead, then the items back to back from 5,472,256, each padded
// with zeros to whole 512-byte blocks: video frames as given, audio chunks of
// TonePcm samples (channel k at k x bytes per sample x samples in the chunk),
// timecode samples (one block, the start timecode as a big-endian frame
// number in the first four bytes), Unknown items (one block of 0xEE). Then
// the trailing bytes, then the byte pokes. An item of 0 bytes (an audio chunk
// of no channels) gets the entry 0, which ends the map.
//
// A typical use:
//
//     const EncodedVideo video = SourceVideo::encode(
//         VideoFormat::proRes(ProResProfile::Hq, 1280, 720, "24000/1001", 24));
//     TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
//     take.setVideo(video);
//     take.setAudio(2, 3, 20, 1000, 600);   // 2 channels, 3 bytes, 20 chunks, first/last counts
//     take.startTimecode = 86400;
//     const WrittenTake written = RecordingWriter::write(take, dir.filePath("A001.vlv"));
//     ... repair the file; its movie then shows a timecode of written.expectedTimecode,
//     frames decoding to written.expectedFrameMd5, channel k decoding to
//     written.expectedChannelPcm.at(k), and [mediaStart, mediaEnd) still hashes
//     to written.mediaSha256.
class RecordingWriter
{
public:
    static WrittenTake write(const TakeDescription& take, const QString& path);
};
