#include "veskfamily.h"

#include "applysettings.h"
#include "repairreport.h"
#include "takerename.h"
#include "veskrecoverysettings.h"

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

constexpr PictureAspect pictureAspects[] = {
    { 720, 480, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 486, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 576, { 59, 54 }, { 41472, 59, 576, 1, 0, 1, 0, 1 } },
    { 960, 720, { 1, 1 }, { 936, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1296, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 1080, { 1, 1 }, { 3776, 3, 1062, 1, 0, 1, 0, 1 } },
    { 1440, 1080, { 1, 1 }, { 1416, 1, 1062, 1, 0, 1, 0, 1 } },
    { 1920, 1080, { 1, 1 }, { 1888, 1, 1062, 1, 0, 1, 0, 1 } },
};

const RecorderProfile veskProfile {
    20,
    VeskRecoverySettings::size,
    QIODevice::ReadWrite,
    false,
    true,
    false,
    proResChoices,
    int(std::size(proResChoices)),
    pictureAspects,
    int(std::size(pictureAspects)),
};

// What the older recorders always use; their settings block has no field for it.
constexpr quint32 audioSamplesPerChunk = 3072;
constexpr quint32 videoFramesPerChunk = 3;

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

void VeskFamily::applySettings(QuickTimeFile& file) const
{
    applyRecorderSettings(VeskRecoverySettings::from(file.recoverySettings), file, audioSamplesPerChunk,
        videoFramesPerChunk);
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

QString VeskFamily::finishTake(const QString& path, VideoRepair::Outcome outcome) const
{
    using Outcome = VideoRepair::Outcome;
    // A take whose repair could not be written (a full card) keeps its name:
    // a later run redoes or finishes it.
    if (outcome == Outcome::Unfinished)
        return path;
    const bool repaired = outcome == Outcome::Repaired || outcome == Outcome::CompletedEarlier;
    return TakeRename::rename(path, finalName(path, true, repaired));
}

QString VeskFamily::finalName(const QString& path, bool video, bool repaired)
{
    QString renamed = path;
    if (video)
        renamed.replace(QLatin1String(".vlv"), repaired ? QLatin1String(".mov") : QLatin1String(".nrv"));
    else
        renamed.replace(QLatin1String(".vla"), repaired ? QLatin1String(".wav") : QLatin1String(".nra"));
    return renamed;
}

QByteArray VeskFamily::timecodeSampleBlock(quint32 frameNumber)
{
    QByteArray block(timecodeBlockSize, '\0');
    qToBigEndian<quint32>(frameNumber, block.data());
    return block;
}
