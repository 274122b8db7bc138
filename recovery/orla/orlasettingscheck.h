#ifndef ORLASETTINGSCHECK_H
#define ORLASETTINGSCHECK_H

struct OrlaRecoverySettings;

// Whether a settings block describes a take the rebuild can table: a frame
// rate, a picture size and video chunking, and a sample width whenever
// channels were recorded (without it the sound tables cannot be filled).
class OrlaSettingsCheck
{
public:
    static bool isValid(const OrlaRecoverySettings& settings);
};

#endif
