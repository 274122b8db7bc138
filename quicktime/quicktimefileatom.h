#ifndef QUICKTIMEFILEATOM_H
#define QUICKTIMEFILEATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'ftyp' with exactly one compatible brand.
class QuickTimeFileAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeFileAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 majorBrand;
    quint32 minorVersion;
    quint32 compatibleBrand;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
