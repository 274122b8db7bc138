#include "quicktimesamplesizeatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimeframemapwalker.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>

QTLIB_BEGIN_NAMESPACE

namespace {

// The sizes to write: read back, or the lengths of the items of one kind.
class SizeSource
{
public:
    SizeSource(const QuickTimeFile* file, int kind, const QList<quint32>* readSizes)
        : walker(file)
        , kind(kind)
        , readSizes(readSizes)
    {
    }

    bool operator()(quint64& value)
    {
        if (readSizes) {
            if (index >= readSizes->size())
                return false;
            value = readSizes->at(index++);
            return true;
        }
        quint32 length = 0;
        quint64 position = 0;
        if (!walker.nextOfKind(kind, length, position))
            return false;
        value = length;
        return true;
    }

private:
    QuickTimeFrameMapWalker walker;
    int kind;
    const QList<quint32>* readSizes;
    qsizetype index = 0;
};

} // namespace

QuickTimeSampleSizeAtom::QuickTimeSampleSizeAtom(QuickTimeFile* file, int kind, quint32 sampleCount,
    quint32 constantSampleSize)
    : QuickTimeVersionFlagsAtom(fourCC("stsz"), 8, 3, 0, 0, file)
    , kind(kind)
    , sampleSize(constantSampleSize)
    , sampleCount(sampleCount)
    , holdsReadSizes(false)
{
    if (hasTable())
        size += 4 * sampleCount;
}

void QuickTimeSampleSizeAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << sampleSize << sampleCount;
    if (!hasTable())
        return;
    QuickTimeTableStream(stream).write(sampleCount, 4, SizeSource(file, kind, holdsReadSizes ? &readSizes : nullptr), "stsz");
}

bool QuickTimeSampleSizeAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    sampleSize = in.u32();
    sampleCount = in.u32();
    readSizes.clear();
    if (hasTable() && !in.table(sampleCount, readSizes))
        return false;
    holdsReadSizes = true;
    return in.ok();
}

void QuickTimeSampleSizeAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Sample Size", sampleSize);
    fields.addNumber("Sample Count", sampleCount);
    if (!hasTable()) {
        fields.add(QStringLiteral("Sizes"), QStringLiteral("-"));
        return;
    }
    fields.add(QStringLiteral("Sizes"),
        QuickTimeTableSummary::of(sampleCount, SizeSource(file, kind, holdsReadSizes ? &readSizes : nullptr)));
}

QTLIB_END_NAMESPACE
