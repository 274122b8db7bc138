#include "quicktimevideoinformationatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeVideoInformationAtom::QuickTimeVideoInformationAtom()
    : QuickTimeVersionFlagsAtom(fourCC("vmhd"), 8, 0, 1)
    , graphicsMode(0)
    , opcolor { 0, 0, 0 }
{
}

void QuickTimeVideoInformationAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << graphicsMode << opcolor[0] << opcolor[1] << opcolor[2];
}

bool QuickTimeVideoInformationAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    graphicsMode = in.u16();
    for (quint16& value : opcolor)
        value = in.u16();
    return in.ok();
}

void QuickTimeVideoInformationAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addHex("Graphics Mode", graphicsMode, 4);
    const quint32 color[3] = { opcolor[0], opcolor[1], opcolor[2] };
    fields.addNumbers("Opcolor", color, 3);
}

