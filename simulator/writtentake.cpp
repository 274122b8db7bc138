#include "writtentake.h"

QList<qint64> WrittenTake::offsetsOf(ItemKind kind) const
{
    QList<qint64> offsets;
    for (const PlacedItem& item : items)
        if (item.kind == kind)
            offsets.append(item.offset);
    return offsets;
}
