#include "quicktimedatareferenceatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeDataReferenceAtom::QuickTimeDataReferenceAtom()
    : QuickTimeVersionFlagsAtom(fourCC("dref"), 16, 0, 0)
    , entryCount(1)
    , entrySize(12)
    , entryType(fourCC("alis"))
    , entryVersion(0)
    , entryFlags(1)
{
}

void QuickTimeDataReferenceAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << entryCount << entrySize << entryType << entryVersion << quint8(entryFlags >> 16)
           << quint8(entryFlags >> 8) << quint8(entryFlags);
}

bool QuickTimeDataReferenceAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    // Only the first entry is kept; the reader skips any further ones.
    QuickTimeFieldReader in(stream, remaining);
    entryCount = in.u32();
    entrySize = in.u32();
    entryType = in.u32();
    entryVersion = in.u8();
    const quint32 high = in.u8();
    const quint32 middle = in.u8();
    entryFlags = (high << 16) | (middle << 8) | in.u8();
    return in.ok();
}

void QuickTimeDataReferenceAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", entryCount);
    fields.addNumber("Entry Size", entrySize);
    fields.addFourCC("Entry Type", entryType);
    fields.addNumber("Entry Version", entryVersion);
    fields.addHex("Entry Flags", entryFlags, 6);
}

