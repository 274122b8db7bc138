#ifndef TAKEREPAIR_H
#define TAKEREPAIR_H

#include "takeresult.h"

#include <QCoreApplication>
#include <QString>

class TakeFamily;

// One take handed to its repair: opened and locked, repaired by the flow of
// its kind, given its name, and what became of it.
class TakeRepair
{
    Q_DECLARE_TR_FUNCTIONS(TakeRepair)

public:
    // A video take of `family`; `frameMapBuffer` is the scanner's work
    // buffer (null when none could be allocated).
    static TakeResult video(const TakeFamily& family, TakeResult::Family tag, const QString& path, char* frameMapBuffer);
    // A sound take of the older family.
    static TakeResult audio(const QString& path);

private:
    // The status of a take the repair finished with, once its rename was tried.
    static void settle(TakeResult& result, bool repaired, const QString& renameProblem);
};

#endif
