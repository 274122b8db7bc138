#ifndef QUICKTIMEVERSIONFLAGSATOM_H
#define QUICKTIMEVERSIONFLAGSATOM_H

#include "quicktimeatom.h"

// A full atom: its header carries a version byte and 24 bits of flags.
class QuickTimeVersionFlagsAtom : public QuickTimeAtom
{
public:
    QuickTimeVersionFlagsAtom(quint32 type, quint32 payloadSize, quint8 version, quint32 flags);

    void writeHeader(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;
    quint32 headerSize() const override;

    quint8 version;
    quint32 flags; // low 24 bits, written most significant byte first

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
