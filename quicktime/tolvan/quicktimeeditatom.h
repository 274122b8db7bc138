#ifndef QUICKTIMEEDITATOM_H
#define QUICKTIMEEDITATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'edts': container of a track's edit list; no fields of its own.
class QuickTimeEditAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeEditAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("edts"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
