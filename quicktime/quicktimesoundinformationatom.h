#ifndef QUICKTIMESOUNDINFORMATIONATOM_H
#define QUICKTIMESOUNDINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

// 'smhd': sound media information header, flags 1.
class QuickTimeSoundInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeSoundInformationAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 balance;
    quint16 reserved;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
