#include "veskvideorepair.h"

#include "quicktimefile.h"
#include "scan/finalize.h"

#include <memory>
#include <new>

bool VeskVideoRepair::run(Finalize& scanner, QIODevice* device, quint8* frameMap)
{
    std::unique_ptr<QuickTimeFile> movie(new (std::nothrow) QuickTimeFile(device, frameMap));
    if (!movie || !movie->hasOpenMovieDataAtom())
        return false;
    if (!movie->prepareRecording())
        return false;
    const VeskRecoverySettings* settings = movie->readRecoverySettings();
    if (!settings)
        return false;
    scanner.applyVeskSettings(settings, movie.get());
    return movie->recoverMovie();
}
