#include "quicktimevelloranatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimefile.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>
#include <cstring>

QTLIB_BEGIN_NAMESPACE

QuickTimeVelloranAtom::QuickTimeVelloranAtom(QuickTimeFile* file)
    : QuickTimeVersionFlagsAtom(fourCC("vrln"), 136, 17, 0, 0, file)
    , word0(1)
    , interlaced(file ? file->interlaced : 0)
    // The copy runs to the last counted entry: kind 3 entries among the
    // counted ones take their places in it, as in every table walk.
    , entryCount(file ? file->frameMapSpan() : 0)
    , videoFrameCount(file ? file->videoFrameCount : 0)
    , audioChunkCount(file ? file->audioChunkCount : 0)
    , timecodeSampleCount(file ? file->timecodeSampleCount : 0)
    , word15(1)
    , holdsReadEntries(false)
{
    if (file)
        std::memcpy(vendorValues, file->vendorValues, sizeof vendorValues);
    else
        std::memset(vendorValues, 0, sizeof vendorValues);
    size += 2 * entryCount;
}

bool QuickTimeVelloranAtom::entryAt(quint32 index, quint64& value) const
{
    if (holdsReadEntries) {
        if (index >= quint32(readEntries.size()))
            return false;
        value = readEntries.at(index);
        return true;
    }
    const quint8* map = file ? file->frameMap : nullptr;
    if (!map || index >= QuickTimeFile::frameMapCapacity)
        return false;
    value = quint64(map[2 * index]) | (quint64(map[2 * index + 1]) << 8);
    return true;
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

    quint32 index = 0;
    QuickTimeTableStream(stream).write(entryCount, 2, [&](quint64& value) { return entryAt(index++, value); }, "vrln");
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
    holdsReadEntries = in.table(entryCount, readEntries);
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
    static const char* const valueNames[9] = { "Vendor Value 1", "Vendor Value 2", "Vendor Value 3",
        "Vendor Value 4", "Vendor Value 5", "Vendor Value 6", "Vendor Value 7", "Vendor Value 8",
        "Vendor Value 9" };
    for (int i = 0; i < 9; ++i)
        fields.addNumber(valueNames[i], vendorValues[i]);
    fields.addNumber("Word 15", word15);
    quint32 index = 0;
    fields.add(QStringLiteral("Frame Map"),
        QuickTimeTableSummary::of(entryCount, [&](quint64& value) { return entryAt(index++, value); }));
}

QTLIB_END_NAMESPACE
