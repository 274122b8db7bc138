#include "orlafamily.h"

#include "applysettings.h"
#include "orlarecoverysettings.h"
#include "repairreport.h"
#include "takerename.h"

#include <QFile>

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
    { 3840, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
    { 4096, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
};

const RecorderProfile orlaProfile {
    36,
    OrlaRecoverySettings::size,
    QIODevice::ReadWrite | QIODevice::Unbuffered,
    true,
    false,
    true,
    proResChoices,
    int(std::size(proResChoices)),
    pictureAspects,
    int(std::size(pictureAspects)),
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

void OrlaFamily::applySettings(QuickTimeFile& file) const
{
    const OrlaRecoverySettings settings = OrlaRecoverySettings::from(file.recoverySettings);
    // The recorder's own timecode sample is already in the media; none is written.
    applyRecorderSettings(settings, file, settings.audioSamplesPerChunk(), settings.videoSamplesPerChunk());
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

QString OrlaFamily::finishTake(const QString& path, VideoRepair::Outcome outcome) const
{
    using Outcome = VideoRepair::Outcome;
    // A take that was not repaired keeps the recorder's name: it is no movie
    // yet, and it may be repairable later (a locked file, low memory, a full
    // card), so a later scan must still list it.
    if (outcome == Outcome::NotRepaired || outcome == Outcome::Unfinished)
        return path;
    if (!QFile::exists(path) || !path.endsWith(QLatin1String(".vlv")))
        return QStringLiteral("Invalid output file.");
    QString target = path;
    if (outcome == Outcome::RebuildFailed) {
        target.replace(QLatin1String(".vlv"), QLatin1String(".nrv"));
        if (QFile::exists(target))
            QFile::remove(target);
    } else {
        target.replace(QLatin1String(".vlv"), QLatin1String(".mov"));
    }
    return TakeRename::rename(path, target);
}
