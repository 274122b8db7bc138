#include "fuzzentries.h"

#include "accessrecordingbuffer.h"
#include "messagecatcher.h"
#include "rebuildcheck.h"
#include "recordinginput.h"
#include "recovery/orla/orlarepair.h"
#include "scan/finalize.h"

namespace {

using Outcome = OrlaRepair::Outcome;

QString checkRepair(const QByteArray& input)
{
    // The flow hands the scanner only to the settings step; one serves every run.
    static Finalize scanner;
    const QByteArray before = RecordingInput::decode(input, RecorderFamily::Orla);
    AccessRecordingBuffer recording(before);
    const Outcome outcome = OrlaRepair::run(scanner, &recording, QByteArrayLiteral("A001.vlv"));
    Tolvan::RebuildCheck check(RecorderFamily::Orla, before, recording);
    // A refused take is not written to; a rebuild that failed once writing
    // began leaves its movie uncommitted behind the media.
    if (outcome == Outcome::RebuildFailed || outcome == Outcome::Unfinished)
        return check.uncommitted();
    if (outcome != Outcome::Repaired)
        return check.untouched();
    if (const QString broken = check.repaired(); !broken.isEmpty())
        return broken;

    // A later run leaves the repaired movie as it is.
    if (check.movieAtomSize() > Tolvan::RebuildCheck::largestMovieRunAgain)
        return {};
    const QByteArray repaired = recording.data();
    AccessRecordingBuffer again(repaired);
    const Outcome second = OrlaRepair::run(scanner, &again, QByteArrayLiteral("A001.vlv"));
    if (second == Outcome::Repaired || second == Outcome::RebuildFailed)
        return QStringLiteral("a second run repaired the repaired movie again");
    return Tolvan::RebuildCheck(RecorderFamily::Orla, repaired, again).untouched();
}

} // namespace

QString fuzzOrlaMovieRebuild(const QByteArray& input)
{
    return MessageCatcher::brokenInvariant(checkRepair, input);
}
