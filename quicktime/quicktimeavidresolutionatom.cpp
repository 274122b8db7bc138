#include "quicktimeavidresolutionatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QTLIB_BEGIN_NAMESPACE

QuickTimeAvidResolutionAtom::QuickTimeAvidResolutionAtom(QuickTimeFile* file)
    : QuickTimeAtom(fourCC("ARES"), file)
{
    fieldCount = 1;
}

void QuickTimeAvidResolutionAtom::write(QDataStream& stream)
{
    QuickTimeAtom::write(stream);
    stream.writeRawData(payload.constData(), int(payload.size()));
}

bool QuickTimeAvidResolutionAtom::read(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    payload = in.bytes(remaining);
    return in.ok();
}

void QuickTimeAvidResolutionAtom::describeFields(QuickTimeFieldList& fields) const
{
    fields.addBytes("Payload", payload);
}

QTLIB_END_NAMESPACE
