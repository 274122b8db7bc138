#ifndef TAKERESULT_H
#define TAKERESULT_H

#include "recordedformat.h"
#include "takeitems.h"

#include <QCoreApplication>
#include <QString>

// What one run made of one take: where it was found and where it stands
// now, its family, and the word the report gives it with its reason. The
// report line and the run's counts are drawn from this value alone.
class TakeResult
{
    Q_DECLARE_TR_FUNCTIONS(TakeResult)

public:
    enum class Family {
        Unknown, // listed under a failure name: never opened
        Orla,
        Vesk     // the older family's video and sound takes
    };

    enum class Status {
        RequiresFinalize, // scan only: listed, nothing written
        Finalized,          // repaired, and standing under its finished name
        Unrecoverable,      // the card cannot give a whole take
        LeftUnfinished,     // left as it was for its surroundings (permissions, a
                            // full card, no memory, another run, gone); a later
                            // run can repair it
        RepairedNotRenamed  // repaired, but still under the recorder's name; a
                            // later run gives it its finished name
    };

    TakeResult() = default;
    TakeResult(const QString& path, Family family, Status status);

    // The status in the report's words, with the reason when there is one.
    QString statusText() const;
    // The status as one stable word for scripts: "requires-finalize",
    // "finalized", "unrecoverable", "not-finalized", "repaired-not-renamed".
    QString statusWord() const;
    // What the movie of a repaired take holds, in a few words; empty for a
    // take that was not repaired or whose items were not counted.
    QString recoveredText() const;

    // The take's path as it was found, and the path it stands under now.
    QString path;
    QString finalPath;
    Family family = Family::Unknown;
    Status status = Status::RequiresFinalize;
    // Plain words on why a take has the status it has; empty when the
    // status says all.
    QString reason;
    // What was recorded, as far as the run read it: a repair's settings and
    // counts, a scan's settings block alone.
    RecordedFormat recorded;
    // The items as the repair counted them.
    TakeItems items;
};

#endif
