#ifndef QUICKTIMESOUNDINFORMATIONATOM_H
#define QUICKTIMESOUNDINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

QTLIB_BEGIN_NAMESPACE

// 'smhd': sound media information header, flags 1.
class QuickTimeSoundInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeSoundInformationAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 balance;
    quint16 reserved;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
