#ifndef RECOVERYSETTINGS_H
#define RECOVERYSETTINGS_H

#include <QtGlobal>

class QuickTimeFile;

// Where a family's recovery settings block keeps what the families place
// differently. The fields before byte 68 lie at the same places in both
// blocks: vendor value 1 (0), start timecode (4), drop frame (8), vendor
// value 2 (12), recorded rate (16), vendor value 5 (20), channels (24),
// bytes per sample (28), sample rate (32), progressive segmented (36), width
// (40) and height (42), interlaced (44), compression ID (48), codec (52),
// ProRes flavour (56), last and first chunk samples (60, 64). All little-endian.
struct RecoverySettingsLayout
{
    int size;
    int recordedEnd;  // u64
    int reelName;     // 32 bytes, up to the first zero
    // The chunking, from the block (an offset) or, when the block has no
    // field for it (-1), the recorder's fixed habit.
    int audioSamplesPerChunk;
    quint32 fixedAudioSamplesPerChunk;
    int videoSamplesPerChunk;
    quint32 fixedVideoSamplesPerChunk;
};

// The settings block read into file.recoverySettings, applied to the movie
// settings of `file` by its family's layout.
void applyRecoverySettings(QuickTimeFile& file);

#endif
