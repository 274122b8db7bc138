#ifndef QUICKTIMEFIELDATOM_H
#define QUICKTIMEFIELDATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'fiel' as an atom of its own. The video descriptions write their field
// extension themselves; built here it is a bare header, read back it keeps
// its two values.
class QuickTimeFieldAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeFieldAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    bool hasValues;
    quint8 fields;
    quint8 detail;

protected:
    void describeFields(QuickTimeFieldList& list) const override;
};

QTLIB_END_NAMESPACE

#endif
