#ifndef TAKEJSON_H
#define TAKEJSON_H

#include "app/scanrun.h"

#include <QByteArray>

class TakeResult;

// ambrel-cli --json: each take's result as one JSON object on a line, the
// fields of the window's table first, then those a script needs; and the
// run's counts as the last line. Every object of a kind holds every key,
// null where a value is not known.
namespace TakeJson {

QByteArray take(const TakeResult& result);
QByteArray summary(const ScanRun::Outcome& outcome, bool scanOnly, int exitStatus);

} // namespace TakeJson

#endif
