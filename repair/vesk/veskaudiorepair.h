#ifndef VESKAUDIOREPAIR_H
#define VESKAUDIOREPAIR_H

#include "recordedformat.h"

#include <QString>

class AudioFile;
class QIODevice;

// One repair of a Vesk audio recording (Broadcast WAV) on its open device:
// the chunk walk, the missing RIFF and data sizes, and those on the device.
class VeskAudioRepair
{
public:
    // 0 when the take is whole and on the device; otherwise the result
    // code of AudioFile, or 31 when the sizes did not reach the device.
    // `unfinished` tells whether a write failed while the take still reads
    // as unfinished (data size 0) or as repaired: a later run redoes or
    // finishes it; `writeProblem` then says why the write failed.
    // `recorded`, when given, receives what the chunks say was recorded.
    static int run(QIODevice* device, bool* unfinished, QString* writeProblem, RecordedFormat* recorded = nullptr);
    // What a parsed take holds: its format, and its length from the data
    // size or, while that reads 0, from the bytes after the data header.
    static RecordedFormat recordedFormat(const AudioFile& audio);
    // The same read from `device` without a write; empty when the chunks
    // cannot be walked.
    static RecordedFormat recordedFormat(QIODevice* device);
};

#endif
