#ifndef QUICKTIMEATOM64_H
#define QUICKTIMEATOM64_H

#include "quicktimeatom.h"

// An atom whose header carries a 64-bit size (the 32-bit size field holds 1).
// The 32-bit `size` stays 8 so it adds nothing when attached to a parent.
class QuickTimeAtom64 : public QuickTimeAtom
{
public:
    QuickTimeAtom64(quint32 type, quint64 size64);

    void write(QDataStream& stream) override;
    void writeHeader(QDataStream& stream) override;
    // The payload is not kept: the reader skips it by the 64-bit size.
    bool read(QDataStream& stream, quint64& remaining) override;
    quint32 headerSize() const override;

    quint64 size64;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
