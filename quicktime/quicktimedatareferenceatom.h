#ifndef QUICKTIMEDATAREFERENCEATOM_H
#define QUICKTIMEDATAREFERENCEATOM_H

#include "quicktimeversionflagsatom.h"

QTLIB_BEGIN_NAMESPACE

// 'dref' with one 'alis' entry whose flag 1 says the media is in this file.
class QuickTimeDataReferenceAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeDataReferenceAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 entryCount;
    quint32 entrySize;
    quint32 entryType;
    quint8 entryVersion;
    quint32 entryFlags; // low 24 bits

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
