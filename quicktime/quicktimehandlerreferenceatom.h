#ifndef QUICKTIMEHANDLERREFERENCEATOM_H
#define QUICKTIMEHANDLERREFERENCEATOM_H

#include "quicktimeversionflagsatom.h"

#include <QByteArray>

// 'hdlr': the media or data handler, named after its component type and subtype.
class QuickTimeHandlerReferenceAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeHandlerReferenceAtom(quint32 componentType = 0, quint32 componentSubtype = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 componentType;
    quint32 componentSubtype;
    quint32 componentManufacturer;
    quint32 componentFlags;
    quint32 componentFlagsMask;
    QByteArray componentName; // written as a Pascal string

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
