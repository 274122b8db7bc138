#ifndef MOVIEPLACEMENT_H
#define MOVIEPLACEMENT_H

#include "earlierrepair.h"

#include <QByteArray>
#include <QList>

class QuickTimeFile;

// Where a recording's rebuilt movie goes, the same for both families: the
// frame map is read into the file's buffer, the items wholly on the device
// are counted (as they stood when an interrupted earlier repair began, if
// one did), the counts are bounded, and the device is left at the end of the
// recorded media with the movie data atom sized to reach it.
namespace MoviePlacement {

// False without a device, a frame map buffer or a movie data atom, when the
// map cannot be read, the counts break a bound (`file.refusal` then says
// which), fewer than `minimumItems` items are whole, or the device cannot be
// positioned. `forms` are the ways this family's repair begins its writes;
// `name` names the take in the note lines.
bool place(QuickTimeFile& file, const QList<EarlierRepair::Form>& forms, quint32 minimumItems,
    const QByteArray& name);

} // namespace MoviePlacement

#endif
