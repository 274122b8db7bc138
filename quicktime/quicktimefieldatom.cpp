#include "quicktimefieldatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QTLIB_BEGIN_NAMESPACE

QuickTimeFieldAtom::QuickTimeFieldAtom(QuickTimeFile* file)
    : QuickTimeAtom(fourCC("fiel"), file)
    , hasValues(false)
    , fields(0)
    , detail(0)
{
    fieldCount = 2;
}

void QuickTimeFieldAtom::write(QDataStream& stream)
{
    QuickTimeAtom::write(stream);
    if (hasValues)
        stream << fields << detail;
}

bool QuickTimeFieldAtom::read(QDataStream& stream, quint64& remaining)
{
    if (remaining < 2)
        return true;
    QuickTimeFieldReader in(stream, remaining);
    fields = in.u8();
    detail = in.u8();
    hasValues = in.ok();
    return hasValues;
}

void QuickTimeFieldAtom::describeFields(QuickTimeFieldList& list) const
{
    list.addNumber("Field Count", fields);
    list.addNumber("Field Detail", detail);
}

QTLIB_END_NAMESPACE
