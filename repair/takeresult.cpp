#include "takeresult.h"

TakeResult::TakeResult(const QString& path, Family family, Status status)
    : path(path),
      finalPath(path),
      family(family),
      status(status)
{
}

QString TakeResult::statusText() const
{
    QString word;
    switch (status) {
    case Status::RequiresFinalize: word = tr("Requires finalize"); break;
    case Status::Finalized: word = tr("Finalized"); break;
    case Status::Unrecoverable: word = tr("Unrecoverable"); break;
    case Status::LeftUnfinished: word = tr("Not finalized"); break;
    case Status::RepairedNotRenamed: word = tr("Repaired, not renamed"); break;
    }
    return reason.isEmpty() ? word : word + QStringLiteral(": ") + reason;
}
