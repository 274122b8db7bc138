#include "quicktimechunkoffsetatom.h"

#include "quicktimechunkoffsetscan.h"
#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>

QTLIB_BEGIN_NAMESPACE

QuickTimeChunkOffsetAtom::QuickTimeChunkOffsetAtom(QuickTimeFile* file, int kind, quint32 chunkCount,
    quint64 offsetAdjustment)
    : QuickTimeVersionFlagsAtom(fourCC("stco"), 4, 2, 0, 0, file)
    , kind(kind)
    , chunkCount(chunkCount)
    , offsetAdjustment(offsetAdjustment)
    , holdsReadOffsets(false)
{
    size += 4 * chunkCount;
}

// Hands use() a generator of the offsets to write. An offset past 4 GiB
// cannot be written here, so it ends the table (and fails the write).
template <class Visit>
void QuickTimeChunkOffsetAtom::produce(Visit&& use) const
{
    if (holdsReadOffsets) {
        qsizetype index = 0;
        use([&](quint64& value) {
            if (index >= readOffsets.size())
                return false;
            value = readOffsets.at(index++);
            return true;
        });
        return;
    }
    QuickTimeChunkOffsetScan::Adjustments adjustments;
    adjustments.offset = offsetAdjustment;
    QuickTimeChunkOffsetScan scan(file, kind, 1, chunkCount, adjustments);
    use([&](quint64& value) { return scan(value) && value <= 0xFFFFFFFFu; });
}

void QuickTimeChunkOffsetAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << chunkCount;
    produce([&](auto&& next) { QuickTimeTableStream(stream).write(chunkCount, 4, next, "stco"); });
}

bool QuickTimeChunkOffsetAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    chunkCount = in.u32();
    holdsReadOffsets = in.table(chunkCount, readOffsets);
    return holdsReadOffsets;
}

void QuickTimeChunkOffsetAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", chunkCount);
    produce([&](auto&& next) { fields.add(QStringLiteral("Offsets"), QuickTimeTableSummary::of(chunkCount, next)); });
}

QTLIB_END_NAMESPACE
