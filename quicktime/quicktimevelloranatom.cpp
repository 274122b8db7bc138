#include "quicktimevelloranatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>

QuickTimeVelloranAtom::QuickTimeVelloranAtom(quint32 entryCount, QuickTimeEntrySourcePointer entries)
    : QuickTimeVersionFlagsAtom(fourCC("vrln"), fixedSize - 12, 0, 0)
    , entryCount(entryCount)
    , entries(std::move(entries))
{
    size += 2 * entryCount;
}

void QuickTimeVelloranAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << word0 << interlaced << entryCount << videoFrameCount << audioChunkCount << timecodeSampleCount;
    for (quint32 value : vendorValues)
        stream << value;
    stream << word15;
    static const char zeros[reservedBytes] = {};
    stream.writeRawData(zeros, reservedBytes);
    QuickTimeTableStream(stream).write(entryCount, 2, entries.get(), "vrln");
}

bool QuickTimeVelloranAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    word0 = in.u32();
    interlaced = in.u32();
    entryCount = in.u32();
    videoFrameCount = in.u32();
    audioChunkCount = in.u32();
    timecodeSampleCount = in.u32();
    for (quint32& value : vendorValues)
        value = in.u32();
    word15 = in.u32();
    in.skip(reservedBytes);
    auto read = std::make_unique<QuickTimeListSource>();
    if (in.table<quint16>(entryCount, read->values))
        entries = std::move(read);
    return in.ok();
}

void QuickTimeVelloranAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Word 0", word0);
    fields.addNumber("Interlaced", interlaced);
    fields.addNumber("Entry Count", entryCount);
    fields.addNumber("Video Frame Count", videoFrameCount);
    fields.addNumber("Audio Chunk Count", audioChunkCount);
    fields.addNumber("Timecode Sample Count", timecodeSampleCount);
    for (int i = 0; i < 9; ++i)
        fields.add(QStringLiteral("Vendor Value %1").arg(i + 1), QString::number(vendorValues[i]));
    fields.addNumber("Word 15", word15);
    fields.add(QStringLiteral("Frame Map"), QuickTimeTableSummary::of(entryCount, entries.get()));
}
