#ifndef CRASHTAKES_H
#define CRASHTAKES_H

#include "crashtake.h"

#include <QString>
#include <QStringList>

// The takes the fault tests repair, by name: each family's video with sound
// and timecode (its movie going where the recorder noted the end, at the end
// of the file, or behind a torn last item), and an audio take.
namespace CrashTakes {
QStringList names();
CrashTake make(const QString& name);
} // namespace CrashTakes

#endif
