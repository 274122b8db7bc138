#include "quicktimetimetosampleatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeTimeToSampleAtom::QuickTimeTimeToSampleAtom(quint32 sampleCount, quint32 sampleDuration)
    : QuickTimeVersionFlagsAtom(fourCC("stts"), 12, 0, 0)
{
    entries.append({ sampleCount, sampleDuration });
}

void QuickTimeTimeToSampleAtom::addEntry(quint32 sampleCount, quint32 sampleDuration)
{
    entries.append({ sampleCount, sampleDuration });
    growSize(8);
}

void QuickTimeTimeToSampleAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << quint32(entries.size());
    for (const Entry& entry : std::as_const(entries))
        stream << entry.sampleCount << entry.sampleDuration;
}

bool QuickTimeTimeToSampleAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    QList<quint32> values;
    const quint32 count = in.u32();
    if (!in.table(quint64(count) * 2, values))
        return false;
    entries.clear();
    for (qsizetype i = 0; i < values.size(); i += 2)
        entries.append({ values.at(i), values.at(i + 1) });
    return true;
}

void QuickTimeTimeToSampleAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", quint64(entries.size()));
    QList<quint64> flat;
    for (const Entry& entry : entries)
        flat << entry.sampleCount << entry.sampleDuration;
    fields.addTuples("Entries", flat, 2);
}

