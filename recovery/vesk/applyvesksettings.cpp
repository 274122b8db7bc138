#include "scan/finalize.h"

#include "quicktimerecordersettings.h"
#include "veskrecoverysettings.h"

namespace {
// What the older recorders always use; their settings block has no field for it.
constexpr quint32 audioSamplesPerChunk = 3072;
constexpr quint32 videoFramesPerChunk = 3;
}

void Finalize::applyVeskSettings(const VeskRecoverySettings* settings, QuickTimeFile* file)
{
    applyRecorderSettings(*settings, *file, audioSamplesPerChunk, videoFramesPerChunk);
}
