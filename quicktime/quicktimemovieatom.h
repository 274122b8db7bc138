#ifndef QUICKTIMEMOVIEATOM_H
#define QUICKTIMEMOVIEATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'moov': container of the movie; no fields of its own.
class QuickTimeMovieAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeMovieAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("moov"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
