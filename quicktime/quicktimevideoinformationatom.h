#ifndef QUICKTIMEVIDEOINFORMATIONATOM_H
#define QUICKTIMEVIDEOINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

// 'vmhd': video media information header, flags 1.
class QuickTimeVideoInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeVideoInformationAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 graphicsMode;
    quint16 opcolor[3];

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
