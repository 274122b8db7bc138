#ifndef QUICKTIMEMOVIEDATAATOM_H
#define QUICKTIMEMOVIEDATAATOM_H

#include "quicktimeatom64.h"

QTLIB_BEGIN_NAMESPACE

// 'mdat': only its 16-byte header is ever written; the media is never
// passed through the atom.
class QuickTimeMovieDataAtom : public QuickTimeAtom64
{
public:
    explicit QuickTimeMovieDataAtom(quint64 payloadSize = 0, QuickTimeFile* file = nullptr);
};

QTLIB_END_NAMESPACE

#endif
