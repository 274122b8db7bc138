#include "takeresult.h"

TakeResult::TakeResult(const QString& path, Family family, Status status)
    : path(path),
      finalPath(path),
      family(family),
      status(status)
{
}
