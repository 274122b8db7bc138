#include "quicktimebasemediainformationatom.h"

#include "quicktimeatomreader.h"
#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeBaseMediaInformationAtom::QuickTimeBaseMediaInformationAtom()
    : QuickTimeVersionFlagsAtom(fourCC("gmin"), 12, 0, 0)
    , graphicsMode(0x40)
    , opcolor { 0x8000, 0x8000, 0x8000 }
    , balance(0)
    , reserved(0)
{
}

void QuickTimeBaseMediaInformationAtom::write(QDataStream& stream)
{
    writeHeader(stream);
    stream << graphicsMode << opcolor[0] << opcolor[1] << opcolor[2] << balance << reserved;
    writeChildren(stream);
}

bool QuickTimeBaseMediaInformationAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    graphicsMode = in.u16();
    for (quint16& value : opcolor)
        value = in.u16();
    balance = in.u16();
    reserved = in.u16();
    return in.ok() && QuickTimeAtomReader::readChildren(this, stream, remaining);
}

void QuickTimeBaseMediaInformationAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addHex("Graphics Mode", graphicsMode, 4);
    const quint32 color[3] = { opcolor[0], opcolor[1], opcolor[2] };
    fields.addNumbers("Opcolor", color, 3);
    fields.addNumber("Balance", balance);
    fields.addNumber("Reserved", reserved);
}

