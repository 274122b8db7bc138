#ifndef QUICKTIMESKIPATOM_H
#define QUICKTIMESKIPATOM_H

#include "quicktimeatom.h"

QTLIB_BEGIN_NAMESPACE

// 'skip': padding. The builders set `size`; the payload is taken from a
// 512-byte buffer, zeros beyond it.
class QuickTimeSkipAtom : public QuickTimeAtom
{
public:
    static constexpr int payloadCapacity = 512;

    explicit QuickTimeSkipAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    char payload[payloadCapacity];
};

QTLIB_END_NAMESPACE

#endif
