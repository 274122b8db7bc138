#include "quicktimeatom64.h"

#include "quicktimefieldlist.h"

#include <QDataStream>

QuickTimeAtom64::QuickTimeAtom64(quint32 type, quint64 size64)
    : QuickTimeAtom(type)
    , size64(size64)
{
}

void QuickTimeAtom64::write(QDataStream& stream)
{
    writeHeader(stream);
}

void QuickTimeAtom64::writeHeader(QDataStream& stream)
{
    stream << quint32(1) << type << size64;
}

bool QuickTimeAtom64::read(QDataStream&, quint64&)
{
    size64 = readSize;
    size = 8;
    return true;
}

quint32 QuickTimeAtom64::headerSize() const
{
    return 16;
}

void QuickTimeAtom64::describeFields(QuickTimeFieldList& fields) const
{
    fields.addNumber("Extended Size", size64);
}

