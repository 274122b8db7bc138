#include "quicktimesampletochunkatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeSampleToChunkAtom::QuickTimeSampleToChunkAtom(quint32 samplesPerChunk,
    quint32 lastEntryFirstChunk, quint32 lastChunkSamples, quint32 firstChunkSamples)
    : QuickTimeVersionFlagsAtom(fourCC("stsc"), 4, 0, 0)
{
    if (firstChunkSamples != 0)
        entries.append({ 1, firstChunkSamples, 1 });
    entries.append({ firstChunkSamples != 0 ? 2u : 1u, samplesPerChunk, 1 });
    if (lastChunkSamples != 0)
        entries.append({ lastEntryFirstChunk, lastChunkSamples, 1 });
    size += 12 * quint32(entries.size());
}

void QuickTimeSampleToChunkAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << quint32(entries.size());
    for (const Entry& entry : std::as_const(entries))
        stream << entry.firstChunk << entry.samplesPerChunk << entry.sampleDescriptionId;
}

bool QuickTimeSampleToChunkAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    QList<quint32> values;
    const quint32 count = in.u32();
    if (!in.table(quint64(count) * 3, values))
        return false;
    entries.clear();
    for (qsizetype i = 0; i < values.size(); i += 3)
        entries.append({ values.at(i), values.at(i + 1), values.at(i + 2) });
    return true;
}

void QuickTimeSampleToChunkAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", quint64(entries.size()));
    QList<quint64> flat;
    for (const Entry& entry : entries)
        flat << entry.firstChunk << entry.samplesPerChunk << entry.sampleDescriptionId;
    fields.addTuples("Entries", flat, 3);
}

