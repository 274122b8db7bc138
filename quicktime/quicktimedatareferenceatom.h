#ifndef QUICKTIMEDATAREFERENCEATOM_H
#define QUICKTIMEDATAREFERENCEATOM_H

#include "quicktimeversionflagsatom.h"

// 'dref' with one 'alis' entry whose flag 1 says the media is in this file.
class QuickTimeDataReferenceAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeDataReferenceAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 entryCount;
    quint32 entrySize;
    quint32 entryType;
    quint8 entryVersion;
    quint32 entryFlags; // low 24 bits

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
