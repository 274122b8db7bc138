#ifndef QUICKTIMEBASEINFORMATIONHEADERATOM_H
#define QUICKTIMEBASEINFORMATIONHEADERATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'gmhd': container of the base media information header; no fields of its own.
class QuickTimeBaseInformationHeaderAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeBaseInformationHeaderAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("gmhd"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
