#ifndef QUICKTIMEWIDEATOM_H
#define QUICKTIMEWIDEATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'wide': an empty atom that reserves room for a 64-bit header.
class QuickTimeWideAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeWideAtom(QuickTimeFile* file = nullptr)
        : QuickTimeAtom(fourCC("wide"), file)
    {
    }

    bool read(QDataStream&, quint64&) override { return true; }
};

QTLIB_END_NAMESPACE

#endif
