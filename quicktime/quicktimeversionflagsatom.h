#ifndef QUICKTIMEVERSIONFLAGSATOM_H
#define QUICKTIMEVERSIONFLAGSATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// A full atom: its header carries a version byte and 24 bits of flags.
class QuickTimeVersionFlagsAtom : public QuickTimeAtom
{
public:
    QuickTimeVersionFlagsAtom(quint32 type, quint32 payloadSize, quint32 ownFieldCount,
        quint8 version, quint32 flags, QuickTimeFile* file = nullptr);

    void writeHeader(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;
    quint32 headerSize() const override;

    quint8 version;
    quint32 flags; // low 24 bits, written most significant byte first

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
