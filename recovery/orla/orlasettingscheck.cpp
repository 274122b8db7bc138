#include "orlasettingscheck.h"

#include "orlarecoverysettings.h"

bool OrlaSettingsCheck::isValid(const OrlaRecoverySettings& settings)
{
    if (settings.videoSamplesPerChunk() == 0 || settings.recordedRate() == 0 || settings.width() == 0
        || settings.height() == 0)
        return false;
    return settings.audioChannelCount() == 0 || settings.audioBytesPerSample() != 0;
}
