#include "quicktimesoundinformationatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeSoundInformationAtom::QuickTimeSoundInformationAtom()
    : QuickTimeVersionFlagsAtom(fourCC("smhd"), 4, 0, 1)
    , balance(0)
    , reserved(0)
{
}

void QuickTimeSoundInformationAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << balance << reserved;
}

bool QuickTimeSoundInformationAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    balance = in.u16();
    reserved = in.u16();
    return in.ok();
}

void QuickTimeSoundInformationAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Balance", balance);
    fields.addNumber("Reserved", reserved);
}

