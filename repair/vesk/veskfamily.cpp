#include "veskfamily.h"

#include "quicktimefile.h"
#include "quicktimefourcc.h"
#include "repairreport.h"

#include <QtEndian>

namespace {

constexpr ProResChoice proResChoices[] = {
    { 2, -1, fourCC("ap4h"), "Apple ProRes 4444" },
    { 1, 0, fourCC("apch"), "Apple ProRes 422 (HQ)" },
    { 1, 1, fourCC("apcn"), "Apple ProRes 422" },
    { 1, 2, fourCC("apcs"), "Apple ProRes 422 (LT)" },
    { 1, 3, fourCC("apco"), "Apple ProRes 422 (Proxy)" },
    { -1, -1, fourCC("apch"), "Apple ProRes 422" },
};

// Its 108-byte block at 20 has no field for the chunking: the older
// recorders always use chunks of 3,072 samples and 3 frames.
constexpr RecoverySettingsLayout veskRecoverySettings {
    108, // size
    68, // recordedEnd
    76, // reelName
    -1, 3072, // audioSamplesPerChunk
    -1, 3, // videoSamplesPerChunk
};

const RecorderProfile veskProfile {
    20, // settingsOffset
    veskRecoverySettings,
    QIODevice::ReadWrite, // movieOpenMode
    false, // announcesChunkOffsetStreaming
    true, // writesCleanAperture
    false, // editListPerTrack
    proResChoices,
    int(std::size(proResChoices)),
    recorderPictureAspects,
    9, // no 2160-line pictures
};

constexpr int timecodeBlockSize = 512;

} // namespace

const VeskFamily& VeskFamily::instance()
{
    static const VeskFamily family;
    return family;
}

const RecorderProfile& VeskFamily::profile() const
{
    return veskProfile;
}

QList<EarlierRepair::Form> VeskFamily::repairForms(const QuickTimeFile& file) const
{
    // A repair's writes begin with the timecode sample block, or with the
    // movie itself when the map had no room to list the block.
    return { { timecodeSampleBlock(file.startTimecode), 1 }, { QByteArray(), 0 } };
}

void VeskFamily::reportWriteFailure(const QIODevice* device, WriteStep) const
{
    RepairReport::writeFailure(device);
}

TakeFamily::Ending VeskFamily::endingAfter(VideoRepair::Outcome outcome) const
{
    using Outcome = VideoRepair::Outcome;
    // A take whose repair could not be written (a full card) or found no
    // memory keeps its name: a later run redoes or finishes it.
    if (outcome == Outcome::Unfinished || outcome == Outcome::OutOfMemory)
        return Ending::Kept;
    return VideoRepair::leavesWholeMovie(outcome) ? Ending::Finished : Ending::Failed;
}

QByteArray VeskFamily::timecodeSampleBlock(quint32 frameNumber)
{
    QByteArray block(timecodeBlockSize, '\0');
    qToBigEndian<quint32>(frameNumber, block.data());
    return block;
}
