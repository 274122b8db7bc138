#ifndef QUICKTIMEBASEMEDIAINFORMATIONATOM_H
#define QUICKTIMEBASEMEDIAINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

// 'gmin': base media information. Unlike other atoms it writes its own
// fields before its children (the timecode header container).
class QuickTimeBaseMediaInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeBaseMediaInformationAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 graphicsMode;
    quint16 opcolor[3];
    quint16 balance;
    quint16 reserved;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
