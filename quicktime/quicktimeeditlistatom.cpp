#include "quicktimeeditlistatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <QStringList>

QuickTimeEditListAtom::QuickTimeEditListAtom(quint32 trackDuration)
    : QuickTimeVersionFlagsAtom(fourCC("elst"), 16, 0, 0)
    , entryCount(1)
{
    entries.append({ trackDuration, 0, 0x10000 });
}

void QuickTimeEditListAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << entryCount;
    for (const Entry& entry : std::as_const(entries))
        stream << entry.trackDuration << entry.mediaTime << entry.mediaRate;
}

bool QuickTimeEditListAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    entryCount = in.u32();
    entries.clear();
    if (!in.ok() || quint64(entryCount) * 12 > in.left())
        return false;
    for (quint32 i = 0; i < entryCount; ++i) {
        Entry entry;
        entry.trackDuration = in.u32();
        entry.mediaTime = in.u32();
        entry.mediaRate = in.u32();
        entries.append(entry);
    }
    return in.ok();
}

void QuickTimeEditListAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", entryCount);
    QStringList texts;
    for (const Entry& entry : entries)
        texts.append(QStringLiteral("(%1, %2, 0x%3)").arg(entry.trackDuration).arg(entry.mediaTime).arg(entry.mediaRate, 8, 16, QLatin1Char('0')));
    fields.add(QStringLiteral("Entries"), texts.join(QLatin1Char(' ')));
}

