#ifndef QUICKTIMEMEDIAHEADERATOM_H
#define QUICKTIMEMEDIAHEADERATOM_H

#include "quicktimeversionflagsatom.h"

// 'mdhd': time scale and duration of one track's media.
class QuickTimeMediaHeaderAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeMediaHeaderAtom(quint32 timeScale = 0, quint32 duration = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 creationTime;
    quint32 modificationTime;
    quint32 timeScale;
    quint32 duration;
    quint16 language;
    quint16 quality;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
