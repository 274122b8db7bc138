#ifndef QUICKTIMERECOVERYDATAATOM_H
#define QUICKTIMERECOVERYDATAATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'urec': container of the recorder's recovery data; no fields of its own.
class QuickTimeRecoveryDataAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeRecoveryDataAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("urec"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
