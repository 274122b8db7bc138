#include "quicktimeversionflagsatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeVersionFlagsAtom::QuickTimeVersionFlagsAtom(quint32 type, quint32 payloadSize, quint8 version, quint32 flags)
    : QuickTimeAtom(type)
    , version(version)
    , flags(flags & 0xFFFFFF)
{
    size = payloadSize + 12;
}

void QuickTimeVersionFlagsAtom::writeHeader(QDataStream& stream)
{
    QuickTimeAtom::writeHeader(stream);
    stream << version << quint8(flags >> 16) << quint8(flags >> 8) << quint8(flags);
}

bool QuickTimeVersionFlagsAtom::read(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    version = in.u8();
    const quint32 high = in.u8();
    const quint32 middle = in.u8();
    flags = (high << 16) | (middle << 8) | in.u8();
    return in.ok();
}

quint32 QuickTimeVersionFlagsAtom::headerSize() const
{
    return QuickTimeAtom::headerSize() + 4;
}

void QuickTimeVersionFlagsAtom::describeFields(QuickTimeFieldList& fields) const
{
    fields.addNumber("Version", version);
    fields.addHex("Flags", flags, 6);
}

