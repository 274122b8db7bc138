#include "veskvideorepair.h"

#include "filesync.h"
#include "quicktimefile.h"
#include "quicktimemovieverifier.h"
#include "quicktimetakebounds.h"
#include "scan/finalize.h"
#include "veskreport.h"

#include <QIODevice>
#include <QtDebug>

#include <memory>
#include <new>

namespace {

// A repair committed by a run that ended before the rename: its movie checks
// out, and only the name is left to give it (once the commit, perhaps still
// in the cache, is surely on the device).
bool committedEarlier(QIODevice* device)
{
    if (QuickTimeMovieVerifier::checkCommitted(device) != QuickTimeMovieVerifier::Result::Sound)
        return false;
    if (!syncToDevice(device)) {
        VeskReport::writeFailure(device);
        return false;
    }
    qDebug("********************* %s was repaired by an earlier run that ended before renaming it!\n",
        VeskReport::recordingName(device).constData());
    return true;
}

} // namespace

VeskVideoRepair::Outcome VeskVideoRepair::run(Finalize& scanner, QIODevice* device, quint8* frameMap)
{
    std::unique_ptr<QuickTimeFile> movie(new (std::nothrow) QuickTimeFile(device, frameMap));
    if (!movie)
        return Outcome::NotRepaired;
    if (!movie->hasOpenMovieDataAtom())
        return committedEarlier(device) ? Outcome::Repaired : Outcome::NotRepaired;
    if (!movie->prepareRecording())
        return Outcome::NotRepaired;
    const VeskRecoverySettings* settings = movie->readRecoverySettings();
    if (!settings)
        return Outcome::NotRepaired;
    scanner.applyVeskSettings(settings, movie.get());
    // A take whose settings or frame map break a bound of the movie is
    // refused before anything is written.
    const char* breach = QuickTimeTakeBounds::settingsBreach(*movie);
    if (!breach && movie->recoverMovie())
        return Outcome::Repaired;
    if (!breach)
        breach = movie->refusal;
    if (breach) {
        VeskReport::failure(VeskReport::recordingName(device), breach);
        return Outcome::NotRepaired;
    }
    return movie->repairableAfterWriteFailure ? Outcome::Unfinished : Outcome::NotRepaired;
}
