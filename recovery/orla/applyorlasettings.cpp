#include "scan/finalize.h"

#include "orlarecoverysettings.h"
#include "quicktimerecordersettings.h"

void Finalize::applyOrlaSettings(const OrlaRecoverySettings* settings, Tolvan::QuickTimeFile* file)
{
    // The recorder's own timecode sample is already in the media; none is written.
    Tolvan::applyRecorderSettings(*settings, *file, settings->audioSamplesPerChunk(), settings->videoSamplesPerChunk());
}
