#ifndef QUICKTIMETIMECODEHEADERATOM_H
#define QUICKTIMETIMECODEHEADERATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'tmcd': container of the timecode header (inside gmin); no fields of its own.
class QuickTimeTimecodeHeaderAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeTimecodeHeaderAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("tmcd"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
