#ifndef TAKEFAMILY_H
#define TAKEFAMILY_H

#include "earlierrepair.h"
#include "recorderprofile.h"
#include "videorepair.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;
class QuickTimeFile;

// What a recorder family adds to the one video repair: its profile, its
// what it writes around the movie, how much
// its repair says along the way, and the names its takes leave under.
class TakeFamily
{
public:
    // The writes of a repair, for the failure lines a family prints.
    enum class WriteStep { Lead, Movie, AfterMovie, Commit };

    virtual ~TakeFamily() = default;

    virtual const RecorderProfile& profile() const = 0;
    // Whether a repair reports every step it refuses or finds (the newer
    // family's way) or only refusals of its settings and failed writes.
    virtual bool reportsEveryStep() const = 0;
    // The ways a repair of this family begins its writes, for recognising
    // one that was cut short.
    virtual QList<EarlierRepair::Form> repairForms(const QuickTimeFile& file) const = 0;
    // Fewer whole items than this are not a take worth a movie.
    virtual quint32 minimumItems() const = 0;
    // Places what goes right before the movie (file.lead) once the movie's
    // place is known; false when the device cannot be positioned.
    virtual bool placeLead(QuickTimeFile& file, const QByteArray& name) const;
    // Written right after the movie, before the sync.
    virtual QByteArray closingBlock() const;
    virtual void reportWriteFailure(const QIODevice* device, WriteStep step) const = 0;

    // The name a take leaves under after a repair ended with an outcome.
    enum class Ending { Kept, Finished, Failed };
    virtual Ending endingAfter(VideoRepair::Outcome outcome) const = 0;
    // Gives the take at `path` its name after a repair ended with `outcome`
    // and returns the name it then stands under; `problem` (when given)
    // says why a rename did not happen.
    QString finishTake(const QString& path, VideoRepair::Outcome outcome, QString* problem = nullptr) const;
};

#endif
