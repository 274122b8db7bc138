#include "scan/finalize.h"

#include <QtDebug>

// Placeholder until the Orla rebuild exists: the take is left exactly as it is
// and counts as not finalized.
int Finalize::finalizeOrlaFile(QString path)
{
    isOrla = 1;
    qDebug("doing orla finalize");
    outputFileName = path;
    return notFinalized;
}
