#include "orlafamily.h"

#include "quicktimefile.h"
#include "quicktimefourcc.h"
#include "repairreport.h"

namespace {

constexpr ProResChoice proResChoices[] = {
    { 2, 0, fourCC("ap4x"), "Apple ProRes 4444 XQ" },
    { 2, -1, fourCC("ap4h"), "Apple ProRes 4444" },
    { 1, 0, fourCC("apch"), "Apple ProRes 422" },
    { 1, 1, fourCC("apch"), "Apple ProRes 422 HQ" },
    { 1, 2, fourCC("apcn"), "Apple ProRes 422" },
    { 1, 3, fourCC("apcs"), "Apple ProRes 422 LT" },
    { 1, 4, fourCC("apco"), "Apple ProRes 422 Proxy" },
    { -1, -1, fourCC("apch"), "Apple ProRes 422" },
};

// Its 120-byte block at 36 holds the chunking.
constexpr RecoverySettingsLayout orlaRecoverySettings {
    120, // size
    72, // recordedEnd
    88, // reelName
    80, 0, // audioSamplesPerChunk
    84, 0, // videoSamplesPerChunk
};

const RecorderProfile orlaProfile {
    36, // settingsOffset
    orlaRecoverySettings,
    QIODevice::ReadWrite | QIODevice::Unbuffered, // movieOpenMode
    true, // announcesChunkOffsetStreaming
    false, // writesCleanAperture
    true, // editListPerTrack
    proResChoices,
    int(std::size(proResChoices)),
    recorderPictureAspects,
    11, // every picture size
};

constexpr int closingBlockSize = 512;

} // namespace

const OrlaFamily& OrlaFamily::instance()
{
    static const OrlaFamily family;
    return family;
}

const RecorderProfile& OrlaFamily::profile() const
{
    return orlaProfile;
}

QList<EarlierRepair::Form> OrlaFamily::repairForms(const QuickTimeFile&) const
{
    // The newer recorders write their own timecode sample: a repair's writes
    // begin with the movie itself.
    return { { QByteArray(), 0 } };
}

QByteArray OrlaFamily::closingBlock() const
{
    return QByteArray(closingBlockSize, '\0');
}

void OrlaFamily::reportWriteFailure(const QIODevice* device, WriteStep step) const
{
    // A failed movie write was already reported by the buffered device.
    if (step != WriteStep::Movie)
        RepairReport::deviceError(device);
}

TakeFamily::Ending OrlaFamily::endingAfter(VideoRepair::Outcome outcome) const
{
    using Outcome = VideoRepair::Outcome;
    // A take that was not repaired keeps the recorder's name: it is no movie
    // yet, and it may be repairable later (a locked file, low memory, a full
    // card), so a later scan must still list it.
    if (outcome == Outcome::NotRepaired || outcome == Outcome::Unfinished || outcome == Outcome::OutOfMemory)
        return Ending::Kept;
    return outcome == Outcome::RebuildFailed ? Ending::Failed : Ending::Finished;
}
