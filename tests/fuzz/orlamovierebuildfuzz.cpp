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
    if (outcome != Outcome::Repaired)
        return check.untouched();
    if (const QString broken = check.repaired(); !broken.isEmpty())
        return broken;

    // A later run finds the movie whole and leaves it as it is.
    if (check.movieAtomSize() > Tolvan::RebuildCheck::largestMovieRunAgain)
        return {};
    const QByteArray repaired = recording.data();
    AccessRecordingBuffer again(repaired);
    const Outcome second = OrlaRepair::run(scanner, &again, QByteArrayLiteral("A001.vlv"));
    if (second != Outcome::AlreadyComplete)
        return QStringLiteral("a second run does not find the repaired movie complete");
    return Tolvan::RebuildCheck(RecorderFamily::Orla, repaired, again).untouched();
}

} // namespace

QString fuzzOrlaMovieRebuild(const QByteArray& input)
{
    MessageCatcher messages;
    const QString broken = checkRepair(input);
    if (!broken.isEmpty())
        return broken;
    if (!messages.firstWarning().isEmpty())
        return QStringLiteral("warning raised: ") + messages.firstWarning();
    return {};
}
