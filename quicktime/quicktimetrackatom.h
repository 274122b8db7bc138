#ifndef QUICKTIMETRACKATOM_H
#define QUICKTIMETRACKATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'trak': container of one track; no fields of its own.
class QuickTimeTrackAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeTrackAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("trak"), file)
    {
    }
};

QTLIB_END_NAMESPACE

#endif
