#ifndef QUICKTIMEMEDIAINFORMATIONATOM_H
#define QUICKTIMEMEDIAINFORMATIONATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'minf': container of the media information; no fields of its own.
class QuickTimeMediaInformationAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeMediaInformationAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("minf"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
