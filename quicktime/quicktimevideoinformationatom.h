#ifndef QUICKTIMEVIDEOINFORMATIONATOM_H
#define QUICKTIMEVIDEOINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

QTLIB_BEGIN_NAMESPACE

// 'vmhd': video media information header, flags 1.
class QuickTimeVideoInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeVideoInformationAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 graphicsMode;
    quint16 opcolor[3];

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
