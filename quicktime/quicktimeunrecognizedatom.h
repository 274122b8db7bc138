#ifndef QUICKTIMEUNRECOGNIZEDATOM_H
#define QUICKTIMEUNRECOGNIZEDATOM_H

#include "quicktimeatom.h"

// An atom of a type this library does not model (or 'wide', which holds
// nothing). It is skipped by its size when read and writes nothing at all.
class QuickTimeUnrecognizedAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeUnrecognizedAtom(quint32 type, quint32 size = 8)
        : QuickTimeAtom(type)
    {
        this->size = size;
    }

    void write(QDataStream&) override {}
    bool read(QDataStream&, quint64&) override { return true; }
};

#endif
