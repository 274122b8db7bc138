#ifndef QUICKTIMESAMPLETABLEATOM_H
#define QUICKTIMESAMPLETABLEATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'stbl': container of the sample tables; no fields of its own.
class QuickTimeSampleTableAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeSampleTableAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("stbl"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
