#include "orlarepair.h"

#include "filesync.h"
#include "orlarecoverysettings.h"
#include "quicktimefile.h"
#include "quicktimemoviecheck.h"
#include "quicktimemovieverifier.h"
#include "quicktimetakebounds.h"
#include "scan/finalize.h"

#include <QIODevice>
#include <QtDebug>

#include <memory>
#include <new>

namespace {

void reportFailure(const QByteArray& name, const char* reason)
{
    qDebug("********************* %s recovery failed, %s!\n", name.constData(), reason);
}

} // namespace

OrlaRepair::Outcome OrlaRepair::run(Finalize& scanner, QIODevice* device, const QByteArray& name)
{
    std::unique_ptr<Tolvan::QuickTimeFile> movie(new (std::nothrow) Tolvan::QuickTimeFile(device));
    if (!movie) {
        reportFailure(name, "not enough memory");
        return Outcome::NotRepaired;
    }
    if (!movie->hasOpenMovieDataAtom()) {
        // A repair committed by a run that ended before the rename: its
        // movie checks out, and only the name is left to give it (once the
        // commit, perhaps still in the cache, is surely on the device).
        if (Tolvan::QuickTimeMovieVerifier::checkCommitted(device) == Tolvan::QuickTimeMovieVerifier::Result::Sound) {
            if (!syncToDevice(device)) {
                reportFailure(name, qUtf8Printable(QStringLiteral("the repair could not be written (%1)").arg(device->errorString())));
                return Outcome::NotRepaired;
            }
            qDebug("********************* %s was repaired by an earlier run that ended before renaming it!\n", name.constData());
            return Outcome::CompletedEarlier;
        }
        reportFailure(name, "corrupted file");
        return Tolvan::QuickTimeMovieCheck::isComplete(device) ? Outcome::AlreadyComplete : Outcome::NotRepaired;
    }
    qDebug("********************* %s needs to be restored!\n", name.constData());
    // Without the frame map buffer there is nothing to read the map into.
    if (!movie->prepareRecording()) {
        reportFailure(name, "not enough memory");
        return Outcome::NotRepaired;
    }
    const OrlaRecoverySettings* settings = movie->readRecoverySettings();
    if (!settings) {
        reportFailure(name, "couldn't get any recovery settings");
        return Outcome::NotRepaired;
    }
    // A take whose settings or frame map break a bound of the movie is
    // refused before anything is written, and keeps the recorder's name.
    scanner.applyOrlaSettings(settings, movie.get());
    if (const char* breach = Tolvan::QuickTimeTakeBounds::settingsBreach(*movie)) {
        reportFailure(name, breach);
        return Outcome::NotRepaired;
    }
    if (!movie->recoverMovie()) {
        if (movie->refusal) {
            reportFailure(name, movie->refusal);
            return Outcome::NotRepaired;
        }
        reportFailure(name, "no frame map or finalization failed");
        return movie->repairableAfterWriteFailure ? Outcome::Unfinished : Outcome::RebuildFailed;
    }
    return Outcome::Repaired;
}
