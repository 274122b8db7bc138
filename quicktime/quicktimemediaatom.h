#ifndef QUICKTIMEMEDIAATOM_H
#define QUICKTIMEMEDIAATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'mdia': container of a track's media; no fields of its own.
class QuickTimeMediaAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeMediaAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("mdia"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
