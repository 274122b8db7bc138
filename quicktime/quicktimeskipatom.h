#ifndef QUICKTIMESKIPATOM_H
#define QUICKTIMESKIPATOM_H

#include "quicktimeatom.h"

// 'skip': padding. The builders set `size`; the payload is taken from a
// 512-byte buffer, zeros beyond it.
class QuickTimeSkipAtom : public QuickTimeAtom
{
public:
    static constexpr int payloadCapacity = 512;

    QuickTimeSkipAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    char payload[payloadCapacity];
};

#endif
