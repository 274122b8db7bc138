#include "fuzzentries.h"

#include "accessrecordingbuffer.h"
#include "messagecatcher.h"
#include "rebuildcheck.h"
#include "recordinginput.h"
#include "recovery/vesk/veskvideorepair.h"
#include "scan/finalize.h"

namespace {

QString checkRepair(const QByteArray& input)
{
    // The scanner lends its frame map buffer to every repair, as in a run.
    static Finalize scanner;
    if (!scanner.indexBuffer)
        return QStringLiteral("no memory for the frame map buffer");
    quint8* frameMap = reinterpret_cast<quint8*>(scanner.indexBuffer);
    const QByteArray before = RecordingInput::decode(input, RecorderFamily::Vesk);
    AccessRecordingBuffer recording(before);
    const VeskVideoRepair::Outcome outcome = VeskVideoRepair::run(scanner, &recording, frameMap);
    RebuildCheck check(RecorderFamily::Vesk, before, recording);
    // A take not repaired, refused or failed once writing began, keeps its
    // head and media and an open movie data header.
    if (outcome != VeskVideoRepair::Outcome::Repaired)
        return check.uncommitted();
    if (const QString broken = check.repaired(); !broken.isEmpty())
        return broken;

    // A later run leaves the repaired movie as it is.
    if (check.movieAtomSize() > RebuildCheck::largestMovieRunAgain)
        return {};
    const QByteArray movie = recording.data();
    AccessRecordingBuffer again(movie);
    VeskVideoRepair::run(scanner, &again, frameMap);
    return RebuildCheck(RecorderFamily::Vesk, movie, again).untouched();
}

} // namespace

QString fuzzVeskMovieRebuild(const QByteArray& input)
{
    return MessageCatcher::brokenInvariant(checkRepair, input);
}
