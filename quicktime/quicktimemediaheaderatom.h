#ifndef QUICKTIMEMEDIAHEADERATOM_H
#define QUICKTIMEMEDIAHEADERATOM_H

#include "quicktimeversionflagsatom.h"

QTLIB_BEGIN_NAMESPACE

// 'mdhd': time scale and duration of one track's media.
class QuickTimeMediaHeaderAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeMediaHeaderAtom(QuickTimeFile* file = nullptr, quint32 timeScale = 0, quint32 duration = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 creationTime;
    quint32 modificationTime;
    quint32 timeScale;
    quint32 duration;
    quint16 language;
    quint16 quality;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
