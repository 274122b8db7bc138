#include "takefamily.h"

bool TakeFamily::placeLead(QuickTimeFile&, const QByteArray&) const
{
    return true;
}

QByteArray TakeFamily::closingBlock() const
{
    return QByteArray();
}
