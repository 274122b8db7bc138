#include "videorepair.h"

#include "cachedreads.h"
#include "filesync.h"
#include "moviecheck.h"
#include "movieplacement.h"
#include "movietree.h"
#include "movieverifier.h"
#include "quicktimefile.h"
#include "recoverysettings.h"
#include "repairreport.h"
#include "takebounds.h"
#include "takefamily.h"

#include <QIODevice>
#include <QtDebug>

#include <memory>
#include <new>

using RepairReport::failure;

VideoRepair::Outcome VideoRepair::run(const TakeFamily& family, QIODevice* device, quint8* frameMapBuffer,
    const QByteArray& name, Details* details)
{
    const bool verbose = family.reportsEveryStep();
    std::unique_ptr<QuickTimeFile> movie(new (std::nothrow) QuickTimeFile(device, family.profile(), frameMapBuffer));
    if (!movie) {
        if (verbose)
            failure(name, "not enough memory");
        return Outcome::OutOfMemory;
    }
    if (!movie->hasOpenMovieDataAtom()) {
        // A repair committed by a run that ended before the rename: its
        // movie checks out, and only the name is left to give it (once the
        // commit, perhaps still in the cache, is surely on the device).
        CachedReads readBack(device);
        if (MovieVerifier::checkCommitted(&readBack) == MovieVerifier::Result::Sound) {
            // Not yet surely on the device: the take keeps its name for a
            // later run, which finds the commit again.
            if (!syncToDevice(device)) {
                RepairReport::writeFailure(device);
                if (details)
                    details->writeProblem = RepairReport::writeProblem(device);
                return Outcome::Unfinished;
            }
            qDebug("********************* %s was repaired by an earlier run that ended before renaming it!\n",
                name.constData());
            return Outcome::CompletedEarlier;
        }
        if (verbose)
            failure(name, "corrupted file");
        return MovieCheck::isComplete(device) ? Outcome::AlreadyComplete : Outcome::NotRepaired;
    }
    if (verbose)
        qDebug("********************* %s needs to be restored!\n", name.constData());
    // Without the frame map buffer there is nothing to read the map into.
    if (!movie->frameMap.isValid()) {
        failure(name, "not enough memory");
        return Outcome::OutOfMemory;
    }
    if (!movie->readRecoverySettings()) {
        if (verbose)
            failure(name, "couldn't get any recovery settings");
        return Outcome::NotRepaired;
    }
    // A take whose settings or frame map break a bound of the movie is
    // refused before anything is written.
    applyRecoverySettings(*movie);
    if (const char* breach = TakeBounds::settingsBreach(*movie)) {
        failure(name, breach);
        return Outcome::NotRepaired;
    }
    if (details)
        details->recorded = RecordedFormat::asSet(*movie);
    if (!MoviePlacement::place(*movie, family.repairForms(*movie), family.minimumItems(), name)) {
        if (details)
            details->items = movie->items;
        if (movie->refusal) {
            failure(name, movie->refusal);
            return Outcome::NotRepaired;
        }
        if (movie->itemsBelowMinimum >= 0) {
            const QByteArray reason = "only " + QByteArray::number(movie->itemsBelowMinimum)
                + " whole items reached the card, a take of this recorder has at least "
                + QByteArray::number(family.minimumItems());
            failure(name, reason.constData());
            return Outcome::RebuildFailed;
        }
    } else {
        const bool committed = writeAndCommit(*movie, family, name);
        if (details) {
            details->items = movie->items;
            details->recorded = RecordedFormat::fromSettings(*movie);
        }
        if (committed)
            return Outcome::Repaired;
    }
    if (verbose)
        failure(name, "no frame map or finalization failed");
    if (!movie->repairableAfterWriteFailure)
        return Outcome::RebuildFailed;
    if (details)
        details->writeProblem = movie->writeProblem;
    return Outcome::Unfinished;
}

bool VideoRepair::writeAndCommit(QuickTimeFile& file, const TakeFamily& family, const QByteArray& name)
{
    QIODevice* device = file.device;
    if (!family.placeLead(file, name)) {
        family.reportWriteFailure(device, TakeFamily::WriteStep::Lead);
        return file.writeFailed();
    }
    MovieTree(file).build();

    // A write that fails leaves the movie data header open: the take stays
    // as it was for a later run.
    const qint64 start = device->pos();
    if ((!file.lead.isEmpty() && !device->seek(qint64(file.leadOffset))) || !file.writeMovie(file.lead)) {
        family.reportWriteFailure(device, TakeFamily::WriteStep::Movie);
        return file.writeFailed();
    }
    const qint64 end = device->pos();
    const QByteArray closing = family.closingBlock();
    file.stream.resetStatus();
    if ((!closing.isEmpty() && file.stream.writeRawData(closing.constData(), int(closing.size())) != closing.size())
        || !syncToDevice(device)) {
        family.reportWriteFailure(device, TakeFamily::WriteStep::AfterMovie);
        return file.writeFailed();
    }

    // Only a movie that reads back as sound is committed; the check reads
    // the movie's own bytes, about once each.
    CachedReads readBack(device);
    const MovieVerifier::Result check = MovieVerifier::check(&readBack, file.movieDataAtom.size64, quint64(start));
    if (check != MovieVerifier::Result::Sound) {
        failure(name, MovieVerifier::reason(check));
        return false;
    }
    if (!file.commitMovieData()) {
        family.reportWriteFailure(device, TakeFamily::WriteStep::Commit);
        return file.writeFailed();
    }
    qDebug("Recorded FILE Last Position Start:%lld End:%lld Size:%lld", static_cast<long long>(start),
        static_cast<long long>(end), static_cast<long long>(end - start));
    return true;
}
