#ifndef QUICKTIMEFILEATOM_H
#define QUICKTIMEFILEATOM_H

#include "quicktimeatom.h"

// 'ftyp' with exactly one compatible brand.
class QuickTimeFileAtom : public QuickTimeAtom
{
public:
    QuickTimeFileAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 majorBrand;
    quint32 minorVersion;
    quint32 compatibleBrand;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
