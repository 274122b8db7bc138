#include "takefamily.h"

#include "takename.h"
#include "takerename.h"

bool TakeFamily::placeLead(QuickTimeFile&, const QByteArray&) const
{
    return true;
}

QByteArray TakeFamily::closingBlock() const
{
    return QByteArray();
}

QString TakeFamily::finishTake(const QString& path, VideoRepair::Outcome outcome, QString* problem) const
{
    const Ending ending = endingAfter(outcome);
    if (ending == Ending::Kept)
        return path;
    return TakeRename::rename(path, TakeName::renamed(path, ending == Ending::Finished), problem);
}
