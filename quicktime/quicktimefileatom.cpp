#include "quicktimefileatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeFileAtom::QuickTimeFileAtom()
    : QuickTimeAtom(fourCC("ftyp"))
    , majorBrand(fourCC("qt  "))
    , minorVersion(0x20070400)
    , compatibleBrand(fourCC("qt  "))
{
    size = 20;
}

void QuickTimeFileAtom::write(QDataStream& stream)
{
    QuickTimeAtom::write(stream);
    stream << majorBrand << minorVersion << compatibleBrand;
}

bool QuickTimeFileAtom::read(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    majorBrand = in.u32();
    minorVersion = in.u32();
    compatibleBrand = in.u32();
    return in.ok();
}

void QuickTimeFileAtom::describeFields(QuickTimeFieldList& fields) const
{
    fields.addFourCC("Major Brand", majorBrand);
    fields.addHex("Minor Version", minorVersion, 8);
    fields.addFourCC("Compatible Brand", compatibleBrand);
}

