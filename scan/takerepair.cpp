#include "takerepair.h"

#include "opentake.h"
#include "repairreport.h"
#include "takefamily.h"
#include "takename.h"
#include "takerename.h"
#include "veskaudiorepair.h"

TakeResult TakeRepair::video(const TakeFamily& family, TakeResult::Family tag, const QString& path, char* frameMapBuffer)
{
    TakeResult result(path, tag, TakeResult::Status::LeftUnfinished);
    const QByteArray name = path.toUtf8();
    // A run short of memory leaves the take under its name, to be repaired
    // by a later run; the older family's flow checks before it opens it.
    if (!frameMapBuffer && !family.reportsEveryStep()) {
        RepairReport::failure(name, "not enough memory");
        result.reason = tr("not enough memory");
        return result;
    }
    OpenTake take(path);
    result.reason = take.open();
    if (!result.reason.isEmpty()) {
        if (family.reportsEveryStep() && !take.file().isOpen())
            RepairReport::failure(name, "can't open the file");
        return result;
    }
    VideoRepair::Details details;
    const VideoRepair::Outcome outcome
        = VideoRepair::run(family, &take.file(), reinterpret_cast<quint8*>(frameMapBuffer), name, &details);
    result.recorded = details.recorded;
    result.items = details.items;
    // A repair is on the device before it is reported (the rebuild syncs it).
    QString renameProblem;
    result.finalPath = take.finish([&] { return family.finishTake(path, outcome, &renameProblem); });
    using Outcome = VideoRepair::Outcome;
    if (outcome == Outcome::Unfinished)
        result.reason = details.writeProblem;
    else if (outcome == Outcome::OutOfMemory)
        result.reason = tr("not enough memory");
    else
        settle(result, VideoRepair::leavesWholeMovie(outcome), renameProblem);
    // A whole movie left under the recorder's name plays as it is: the name
    // is all it lacked, as for a sound take whose sizes were already written.
    if (outcome == Outcome::AlreadyComplete && result.status == TakeResult::Status::Finalized)
        result.reason = tr("it already was a whole movie");
    return result;
}

TakeResult TakeRepair::audio(const QString& path)
{
    TakeResult result(path, TakeResult::Family::Vesk, TakeResult::Status::LeftUnfinished);
    OpenTake take(path);
    result.reason = take.open();
    if (!result.reason.isEmpty())
        return result;
    bool unfinished = false;
    QString writeProblem;
    const int repair = VeskAudioRepair::run(&take.file(), &unfinished, &writeProblem, &result.recorded);
    // A take whose sizes could not be written (a full card) keeps its name:
    // a later run redoes or finishes it. Any other leaves under its finished
    // or its failure name.
    QString renameProblem;
    result.finalPath = take.finish([&] {
        return unfinished ? path : TakeRename::rename(path, TakeName::renamed(path, repair == 0), &renameProblem);
    });
    if (unfinished)
        result.reason = writeProblem;
    else
        settle(result, repair == 0, renameProblem);
    return result;
}

void TakeRepair::settle(TakeResult& result, bool repaired, const QString& renameProblem)
{
    const bool renamed = result.finalPath != result.path;
    if (repaired) {
        result.status = renamed ? TakeResult::Status::Finalized : TakeResult::Status::RepairedNotRenamed;
        result.reason = renamed ? QString() : renameProblem;
    } else {
        result.status = TakeResult::Status::Unrecoverable;
        result.reason = renameProblem.isEmpty() ? QString() : tr("it keeps its name, %1").arg(renameProblem);
    }
}
