#include "quicktimechunkoffset64atom.h"

#include "quicktimechunkoffsetscan.h"
#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>
#include <QtDebug>

QTLIB_BEGIN_NAMESPACE

QuickTimeChunkOffset64Atom::QuickTimeChunkOffset64Atom(QuickTimeFile* file, int kind, quint32 sampleCount,
    quint64 offsetAdjustment, quint32 samplesPerChunk, quint64 lastChunkAdjustment, quint64 firstChunkAdjustment)
    : QuickTimeVersionFlagsAtom(fourCC("co64"), 4, 2, 0, 0, file)
    , kind(kind)
    , sampleCount(sampleCount)
    , offsetAdjustment(offsetAdjustment)
    , samplesPerChunk(samplesPerChunk)
    , lastChunkAdjustment(lastChunkAdjustment)
    , firstChunkAdjustment(firstChunkAdjustment)
    // Without samples per chunk there is no chunk to point at.
    , chunkCount(samplesPerChunk == 0 ? 0 : quint32((quint64(sampleCount) + samplesPerChunk - 1) / samplesPerChunk))
    , holdsReadOffsets(false)
{
    size += 8 * chunkCount;
}

// Hands use() a generator of the offsets to write.
template <class Visit>
void QuickTimeChunkOffset64Atom::produce(Visit&& use) const
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
    adjustments.lastChunk = lastChunkAdjustment;
    adjustments.firstChunk = firstChunkAdjustment;
    QuickTimeChunkOffsetScan scan(file, kind, samplesPerChunk, chunkCount, adjustments);
    use(scan);
}

void QuickTimeChunkOffset64Atom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << chunkCount;
    QuickTimeTableStream table(stream);
    if (Variant::logsChunkOffsetStreaming)
        qDebug("stream %d entries (%llx)", int(chunkCount), static_cast<unsigned long long>(table.position()));
    produce([&](auto&& next) { table.write(chunkCount, 8, next, "co64"); });
    if (Variant::logsChunkOffsetStreaming)
        qDebug("done streaming %d entries", int(chunkCount));
}

bool QuickTimeChunkOffset64Atom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    chunkCount = in.u32();
    holdsReadOffsets = in.table(chunkCount, readOffsets);
    return holdsReadOffsets;
}

void QuickTimeChunkOffset64Atom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", chunkCount);
    produce([&](auto&& next) { fields.add(QStringLiteral("Offsets"), QuickTimeTableSummary::of(chunkCount, next)); });
}

QTLIB_END_NAMESPACE
