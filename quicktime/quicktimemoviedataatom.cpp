#include "quicktimemoviedataatom.h"

QTLIB_BEGIN_NAMESPACE

QuickTimeMovieDataAtom::QuickTimeMovieDataAtom(quint64 payloadSize, QuickTimeFile* file)
    : QuickTimeAtom64(fourCC("mdat"), payloadSize + 16, file)
{
}

QTLIB_END_NAMESPACE
