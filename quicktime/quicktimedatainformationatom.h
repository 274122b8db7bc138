#ifndef QUICKTIMEDATAINFORMATIONATOM_H
#define QUICKTIMEDATAINFORMATIONATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'dinf': container of the data information; no fields of its own.
class QuickTimeDataInformationAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeDataInformationAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("dinf"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
