#ifndef TAKELOCK_H
#define TAKELOCK_H

class QFileDevice;

// Two runs on one card (two windows, a window and a script) must never both
// repair one take. A run locks the take it opened before it writes and
// holds the lock until it closed it, after the rename where the system lets
// a run rename an open file. The lock goes with the open file: a run that
// ends, however, leaves none behind.
enum class TakeLock {
    Taken,         // this run holds the take, still under the name it was opened by
    HeldElsewhere, // another run is repairing it
    Gone           // renamed or removed since it was listed: another run finished it, or someone moved it
};

TakeLock lockTake(QFileDevice& file);

// Whether a take can be renamed while it is open (and locked); elsewhere it
// is closed first.
bool renamesOpenTakes();

#endif
