#ifndef QUICKTIMEUSERDATAATOM_H
#define QUICKTIMEUSERDATAATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'udta': container of the user data; no fields of its own.
class QuickTimeUserDataAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeUserDataAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("udta"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
