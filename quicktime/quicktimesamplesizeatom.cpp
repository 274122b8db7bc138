#include "quicktimesamplesizeatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>

QuickTimeSampleSizeAtom::QuickTimeSampleSizeAtom(quint32 sampleCount, quint32 constantSampleSize,
    QuickTimeEntrySourcePointer sizes)
    : QuickTimeVersionFlagsAtom(fourCC("stsz"), 8, 0, 0)
    , sampleSize(constantSampleSize)
    , sampleCount(sampleCount)
    , sizes(std::move(sizes))
{
    if (hasTable())
        size += 4 * sampleCount;
}

void QuickTimeSampleSizeAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << sampleSize << sampleCount;
    if (hasTable())
        QuickTimeTableStream(stream).write(sampleCount, 4, sizes.get(), "stsz");
}

bool QuickTimeSampleSizeAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    sampleSize = in.u32();
    sampleCount = in.u32();
    auto read = std::make_unique<QuickTimeListSource>();
    if (hasTable() && !in.table<quint32>(sampleCount, read->values))
        return false;
    sizes = std::move(read);
    return in.ok();
}

void QuickTimeSampleSizeAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Sample Size", sampleSize);
    fields.addNumber("Sample Count", sampleCount);
    fields.add(QStringLiteral("Sizes"),
        hasTable() ? QuickTimeTableSummary::of(sampleCount, sizes.get()) : QStringLiteral("-"));
}
