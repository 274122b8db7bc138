#ifndef QUICKTIMEUNRECOGNIZEDATOM_H
#define QUICKTIMEUNRECOGNIZEDATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// An atom of a type this library does not model. It is skipped by its size
// when read and writes nothing at all.
class QuickTimeUnrecognizedAtom : public QuickTimeAtom
{
public:
    QuickTimeUnrecognizedAtom(quint32 type, quint32 size, QuickTimeFile* file = nullptr)
        : QuickTimeAtom(type, file)
    {
        this->size = size;
    }

    void write(QDataStream&) override {}
    bool read(QDataStream&, quint64&) override { return true; }
};

QTLIB_END_NAMESPACE

#endif
